// The core object's small services: key input (idle until an input device
// delivers the remote's special keys) and image acquisition (no devices).
#pragma once

#include <memory>
#include <string>

#include "interfaces/core_object.h"
#include "platform/com/object.h"
#include "platform/sys/remote_keys.h"

class CKeyInput : public IKeyInputSource {
 public:
  using Interfaces = plat::InterfaceList<IKeyInputSource>;

  // Reads the remote's keys from the input devices below `inputDir`; with
  // none given (tests) only the calls are kept.
  explicit CKeyInput(std::string inputDir = {}) : inputDir_(std::move(inputDir)) {}

  plat::HRESULT StartInput() override {
    started_ = true;
    if (!inputDir_.empty() && !reader_) {
      reader_ = std::make_unique<plat::RemoteKeyReader>(inputDir_);
      reader_->Start([this](plat::DWORD code) {
        if (sink_) sink_->HotkeyDispatch(0, static_cast<std::intptr_t>(code), 0);
      });
    }
    return plat::S_OK;
  }
  plat::HRESULT StopInput() override {
    started_ = false;
    reader_.reset();
    return plat::S_OK;
  }
  plat::HRESULT SetDispatchSink(IKeyDispatchSink* sink) override {
    sink_ = sink;
    return plat::S_OK;
  }

  bool Started() const { return started_; }
  IKeyDispatchSink* Sink() const { return sink_; }

 private:
  std::string inputDir_;
  std::unique_ptr<plat::RemoteKeyReader> reader_;
  bool started_ = false;
  IKeyDispatchSink* sink_ = nullptr;
};
