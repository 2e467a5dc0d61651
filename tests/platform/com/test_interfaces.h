// Interfaces and classes of the test server library, shared by the server and
// the tests that load it.
#pragma once

#include "platform/com/unknown.h"

inline constexpr plat::IID IID_ITestAdder = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3A01}");
inline constexpr plat::IID IID_ITestValue = plat::MakeGuid("6b1d7c20-4e1a-4c3b-9f51-2a7e0c1d3a02");

struct ITestAdder : plat::IUnknown {
  virtual plat::HRESULT Add(int a, int b, int* sum) = 0;
};
PLAT_BIND_IID(ITestAdder, IID_ITestAdder);

struct ITestValue : plat::IUnknown {
  virtual plat::HRESULT GetValue(int* value) = 0;
  virtual plat::HRESULT SetValue(int value) = 0;
};
PLAT_BIND_IID(ITestValue, IID_ITestValue);

// Adder and value in one object. Its class id is the adder's interface id on
// purpose: class ids and interface ids are separate name spaces.
inline constexpr plat::CLSID CLSID_TestTwoFaces = IID_ITestAdder;
// A value object that can live inside an outer object.
inline constexpr plat::CLSID CLSID_TestAggregatable = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3B02}");
// A value object whose factory refuses an outer object.
inline constexpr plat::CLSID CLSID_TestSolitary = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3B03}");
// An adder that creates a TwoFaces object by class id and forwards to it:
// creation from inside a server library.
inline constexpr plat::CLSID CLSID_TestNested = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3B04}");
// In the registry under a library that has no such class.
inline constexpr plat::CLSID CLSID_TestNotInLibrary = plat::MakeGuid("{6B1D7C20-4E1A-4C3B-9F51-2A7E0C1D3B05}");

inline constexpr const char* kTwoFacesProgId = "Marivel.TestTwoFaces.1";
