// A string collection handed out as the music sources of an attribute.
#pragma once

#include <string>
#include <vector>

#include "interfaces/wmhost/wmplayer.h"
#include "platform/com/object.h"

class CStringCollection : public IWMPStringCollection {
 public:
  using Interfaces = plat::InterfaceList<IWMPStringCollection>;
  static constexpr bool kAggregatable = false;

  explicit CStringCollection(std::vector<std::string> values) : values_(std::move(values)) {}

  plat::HRESULT get_count(long* count) override {
    if (!count) return plat::E_POINTER;
    *count = static_cast<long>(values_.size());
    return plat::S_OK;
  }
  plat::HRESULT item(long index, plat::BSTR* value) override {
    if (!value) return plat::E_POINTER;
    if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) return plat::E_INVALIDARG;
    *value = plat::SysAllocStringUtf8(values_[static_cast<std::size_t>(index)]);
    return plat::S_OK;
  }

 private:
  std::vector<std::string> values_;
};
