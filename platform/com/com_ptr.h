// ComPtr<T>: holds one reference to a COM interface and releases it.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com/unknown.h"

namespace plat {

template <class T>
class ComPtr {
 public:
  using InterfaceType = T;

  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference on `pointer`.
  ComPtr(T* pointer) noexcept : pointer_(pointer) { InternalAddRef(); }
  ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) { InternalAddRef(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  template <class U>
    requires std::is_convertible_v<U*, T*>
  ComPtr(const ComPtr<U>& other) noexcept : pointer_(other.Get()) {
    InternalAddRef();
  }
  ~ComPtr() { InternalRelease(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(T* pointer) noexcept {
    ComPtr(pointer).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  T* Get() const noexcept { return pointer_; }
  T* operator->() const noexcept { return pointer_; }
  T& operator*() const noexcept { return *pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // Takes over a reference the caller already owns.
  void Attach(T* pointer) noexcept {
    InternalRelease();
    pointer_ = pointer;
  }
  // Gives up the reference without releasing it.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(pointer_, nullptr); }
  void Reset() noexcept { InternalRelease(); }
  void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  // Out parameters: releases what is held and hands out the slot to fill.
  T** ReleaseAndGetAddressOf() noexcept {
    InternalRelease();
    return &pointer_;
  }
  T** operator&() noexcept { return ReleaseAndGetAddressOf(); }
  // The slot without releasing (for functions that only read through it).
  T* const* GetAddressOf() const noexcept { return &pointer_; }

  // Hands a new reference to the caller.
  HRESULT CopyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = pointer_;
    InternalAddRef();
    return S_OK;
  }

  // QueryInterface for another interface of the same object; `out` is
  // usually &otherComPtr, which releases what that one held.
  template <class U>
  HRESULT As(U** out) const noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!pointer_) return E_POINTER;
    return pointer_->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(out));
  }
  // Null when the object does not have the interface.
  template <class U>
  ComPtr<U> As() const noexcept {
    ComPtr<U> result;
    As(result.ReleaseAndGetAddressOf());
    return result;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.pointer_ == b.pointer_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.pointer_ == nullptr; }

 private:
  void InternalAddRef() const noexcept {
    if (pointer_) pointer_->AddRef();
  }
  void InternalRelease() noexcept {
    // Cleared before Release: the object's destructor may reach back here.
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }

  T* pointer_ = nullptr;
};

}  // namespace plat
