// The component server the COM tests load, register and unregister.
#include "platform/com/com.h"
#include "tests/platform/com/test_interfaces.h"

namespace {

using plat::HRESULT;

class CTwoFaces : public ITestAdder, public ITestValue {
 public:
  using Interfaces = plat::InterfaceList<ITestAdder, ITestValue>;

  HRESULT Add(int a, int b, int* sum) override {
    if (!sum) return plat::E_POINTER;
    *sum = a + b;
    return plat::S_OK;
  }
  HRESULT GetValue(int* value) override {
    if (!value) return plat::E_POINTER;
    *value = value_;
    return plat::S_OK;
  }
  HRESULT SetValue(int value) override {
    value_ = value;
    return plat::S_OK;
  }

 private:
  int value_ = 0;
};

class CValue : public ITestValue {
 public:
  using Interfaces = plat::InterfaceList<ITestValue>;

  HRESULT GetValue(int* value) override {
    if (!value) return plat::E_POINTER;
    *value = value_;
    return plat::S_OK;
  }
  HRESULT SetValue(int value) override {
    value_ = value;
    return plat::S_OK;
  }

 private:
  int value_ = 42;
};

class CSolitaryValue : public CValue {
 public:
  static constexpr bool kAggregatable = false;
};

class CNested : public ITestAdder {
 public:
  using Interfaces = plat::InterfaceList<ITestAdder>;

  HRESULT FinalConstruct() {
    return plat::CoCreateInstance(CLSID_TestTwoFaces, nullptr, plat::CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&inner_));
  }
  HRESULT Add(int a, int b, int* sum) override { return inner_->Add(a, b, sum); }

 private:
  plat::ComPtr<ITestAdder> inner_;
};

const plat::ClassEntry kClasses[] = {
    {CLSID_TestTwoFaces, "Test TwoFaces", &plat::CreateComObject<CTwoFaces>, "Both", kTwoFacesProgId},
    {CLSID_TestAggregatable, "Test Aggregatable", &plat::CreateComObject<CValue>},
    {CLSID_TestSolitary, "Test Solitary", &plat::CreateComObject<CSolitaryValue>},
    {CLSID_TestNested, "Test Nested", &plat::CreateComObject<CNested>, "Apartment"},
};

}  // namespace

PLAT_COM_SERVER(kClasses);
