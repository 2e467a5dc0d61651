// The object base for COM classes: ComObject<T> gives a class its IUnknown
// (reference count, QueryInterface over the interfaces it lists) and lets it
// be aggregated, and CreateComObject/MakeComObject create instances.
//
//   class CWidget : public IFoo, public IBar {
//    public:
//     using Interfaces = plat::InterfaceList<IFoo, IBar>;   // IUnknown is implied
//     static constexpr bool kAggregatable = false;          // optional, default true
//     plat::HRESULT FinalConstruct();                       // optional, runs after construction
//     plat::HRESULT FallbackQueryInterface(plat::REFIID, void**);  // optional, e.g. an aggregated inner
//     ... the interface methods, but no QueryInterface/AddRef/Release ...
//   };
//
// ComObject<CWidget> derives from CWidget and supplies QueryInterface, AddRef
// and Release. Created without an outer object it counts its own references;
// created inside an outer object (aggregation) its interfaces delegate all
// three to the outer unknown, and only its non-delegating unknown, which the
// outer holds, keeps the count. Every live object holds the module lock that
// DllCanUnloadNow consults.
#pragma once

#include <atomic>
#include <concepts>
#include <exception>
#include <new>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/com/unknown.h"
#include "platform/com/visibility.h"

namespace plat {

// The count of live objects and server locks of the module (executable or
// component server) this code is linked into.
PLAT_COM_LOCAL void ModuleAddRef() noexcept;
PLAT_COM_LOCAL void ModuleRelease() noexcept;
PLAT_COM_LOCAL long ModuleLockCount() noexcept;

template <class... Interfaces>
struct InterfaceList {};

namespace detail {

template <class T, class... Interfaces>
bool FindInterface(T* object, REFIID iid, void** out, InterfaceList<Interfaces...>) {
  return ((iid == IidOf<Interfaces>() ? (*out = static_cast<Interfaces*>(object), true) : false) || ...);
}

template <class T>
concept HasFinalConstruct = requires(T& object) {
  { object.FinalConstruct() } -> std::same_as<HRESULT>;
};

template <class T>
concept HasFallbackQueryInterface = requires(T& object, REFIID iid, void** out) {
  { object.FallbackQueryInterface(iid, out) } -> std::same_as<HRESULT>;
};

}  // namespace detail

template <class T>
inline constexpr bool kIsAggregatable = [] {
  if constexpr (requires { T::kAggregatable; }) {
    return static_cast<bool>(T::kAggregatable);
  } else {
    return true;
  }
}();

template <class T>
class PLAT_COM_LOCAL ComObject final : public T {
 public:
  template <class... Args>
  explicit ComObject(IUnknown* outer, Args&&... args)
      : T(std::forward<Args>(args)...), inner_(this), outer_(outer) {
    ModuleAddRef();
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override {
    return outer_ ? outer_->QueryInterface(iid, out) : inner_.QueryInterface(iid, out);
  }
  ULONG AddRef() override { return outer_ ? outer_->AddRef() : inner_.AddRef(); }
  ULONG Release() override { return outer_ ? outer_->Release() : inner_.Release(); }

  // The unknown that owns the object: what an outer object keeps and
  // releases, and what QueryInterface(IID_IUnknown) returns when not
  // aggregated.
  IUnknown* NonDelegatingUnknown() noexcept { return &inner_; }
  // The object's identity: the outer unknown when aggregated.
  IUnknown* ControllingUnknown() noexcept { return outer_ ? outer_ : &inner_; }

 private:
  ~ComObject() { ModuleRelease(); }

  class NonDelegating final : public IUnknown {
   public:
    explicit NonDelegating(ComObject* object) : object_(object) {}

    HRESULT QueryInterface(REFIID iid, void** out) override {
      if (!out) return E_POINTER;
      *out = nullptr;
      if (iid == IID_IUnknown) {
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
      }
      if (detail::FindInterface(static_cast<T*>(object_), iid, out, typename T::Interfaces{})) {
        // The pointer handed out counts on the controlling unknown.
        object_->AddRef();
        return S_OK;
      }
      if constexpr (detail::HasFallbackQueryInterface<T>) {
        return object_->FallbackQueryInterface(iid, out);
      } else {
        return E_NOINTERFACE;
      }
    }
    ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
      const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
      if (left == 0) {
        // A destructor that passes the object around must not delete it twice.
        refs_.store(kDestroying, std::memory_order_relaxed);
        delete object_;
      }
      return left;
    }

   private:
    static constexpr ULONG kDestroying = 1u << 30;
    ComObject* object_;
    std::atomic<ULONG> refs_{0};
  };

  NonDelegating inner_;
  IUnknown* outer_;
};

namespace detail {

// Builds the object and runs FinalConstruct; on success the caller owns one
// reference on the non-delegating unknown.
template <class T, class... Args>
HRESULT NewComObject(IUnknown* outer, ComObject<T>** created, Args&&... args) {
  *created = nullptr;
  ComObject<T>* object = nullptr;
  try {
    object = new ComObject<T>(outer, std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception&) {
    return E_FAIL;
  }
  IUnknown* inner = object->NonDelegatingUnknown();
  inner->AddRef();
  if constexpr (HasFinalConstruct<T>) {
    HRESULT hr = E_FAIL;
    try {
      hr = object->FinalConstruct();
    } catch (const std::bad_alloc&) {
      hr = E_OUTOFMEMORY;
    } catch (const std::exception&) {
      hr = E_FAIL;
    }
    if (FAILED(hr)) {
      inner->Release();
      return hr;
    }
  }
  *created = object;
  return S_OK;
}

}  // namespace detail

// Creates a T (inside `outer` when given) and returns its interface `iid`.
// With an outer object only IID_IUnknown may be asked for (the non-delegating
// unknown is returned), and only classes that allow aggregation accept one.
template <class T, class... Args>
HRESULT CreateComObject(IUnknown* outer, REFIID iid, void** out, Args&&... args) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer && (iid != IID_IUnknown || !kIsAggregatable<T>)) return CLASS_E_NOAGGREGATION;
  ComObject<T>* object = nullptr;
  const HRESULT hr = detail::NewComObject<T>(outer, &object, std::forward<Args>(args)...);
  if (FAILED(hr)) return hr;
  IUnknown* inner = object->NonDelegatingUnknown();
  const HRESULT result = inner->QueryInterface(iid, out);
  inner->Release();
  return result;
}

// Creates a stand-alone T for use inside the module; null if allocation or
// FinalConstruct fails.
template <class T, class... Args>
ComPtr<ComObject<T>> MakeComObject(Args&&... args) {
  ComObject<T>* object = nullptr;
  ComPtr<ComObject<T>> result;
  if (SUCCEEDED(detail::NewComObject<T>(nullptr, &object, std::forward<Args>(args)...))) {
    result.Attach(object);  // takes over the reference NewComObject left
  }
  return result;
}

}  // namespace plat
