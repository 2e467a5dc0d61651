// CRecordBurn: the Record page's burn, in the hub's burning mode, of the
// files it has gathered in a staging folder, as a data disc on the first
// writer. The authoring engine runs the job on its own worker and reports
// each status on the thread that made it (the UI thread), where this object
// keeps the latest one and tells its owner.
#pragma once

#include <functional>
#include <string>

#include "interfaces/authoring.h"
#include "platform/com/com_ptr.h"

class CRecordBurn {
 public:
  using EngineFactory = std::function<plat::ComPtr<IAuthoringEngine>()>;
  enum class State { Idle, Ready, Burning, Done, Failed };

  // `onChange` runs on the UI thread after each status the engine reports.
  CRecordBurn(EngineFactory factory, std::function<void()> onChange);
  // Cancels a running job and takes the sink back.
  ~CRecordBurn();
  CRecordBurn(const CRecordBurn&) = delete;
  CRecordBurn& operator=(const CRecordBurn&) = delete;

  // Makes the engine and finds a writer; false (state Failed) when there is
  // no engine or no writer.
  bool Prepare();
  // Burns every entry of `folder` (files and folders) into the disc's root.
  // False (state Failed) when the job cannot start.
  bool Burn(const std::string& folder, const std::string& label);
  void Cancel();

  State state() const { return m_state; }
  const AuthoringStatus& status() const { return m_status; }

  // The engine the program registers.
  static plat::ComPtr<IAuthoringEngine> CreateRegisteredEngine();

 private:
  class Sink final : public IAuthoringEventSink {
   public:
    explicit Sink(CRecordBurn& owner) : owner_(owner) {}
    int Notify0(SinkArg, SinkArg) override { return 0; }
    int Notify1(SinkArg, SinkArg) override { return 0; }
    int Notify2(SinkArg, SinkArg) override { return 0; }
    int Notify3(SinkArg, SinkArg) override { return 0; }
    int Notify4(SinkArg, SinkArg) override { return 0; }
    int Notify5(SinkArg, SinkArg) override { return 0; }
    int Notify6(SinkArg, SinkArg) override { return 0; }
    int Notify7(SinkArg a, SinkArg) override;
    int Notify8(SinkArg, SinkArg) override { return 0; }
    int Notify9(SinkArg, SinkArg) override { return 0; }
    int Notify10(SinkArg, SinkArg) override { return 0; }
    int Notify11(SinkArg, SinkArg) override { return 0; }
    int Notify12(SinkArg, SinkArg) override { return 0; }
    int Notify13(SinkArg, SinkArg) override { return 0; }
    int Notify14(SinkArg, SinkArg) override { return 0; }
    int Notify15(SinkArg, SinkArg) override { return 0; }

   private:
    CRecordBurn& owner_;
  };

  void OnStatus(const AuthoringStatus& status);

  EngineFactory m_factory;
  std::function<void()> m_onChange;
  Sink m_sink{*this};
  plat::ComPtr<IAuthoringEngine> m_engine;
  State m_state = State::Idle;
  AuthoringStatus m_status;
};
