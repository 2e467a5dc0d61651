#include "lounge/pages/record/record_burn.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "corebridge/core/authoring_config.h"
#include "platform/com/runtime.h"

namespace {

using plat::FAILED;

}  // namespace

CRecordBurn::CRecordBurn(EngineFactory factory, std::function<void()> onChange)
    : m_factory(std::move(factory)), m_onChange(std::move(onChange)) {}

CRecordBurn::~CRecordBurn() {
  if (!m_engine) return;
  if (m_state == State::Burning) m_engine->Cancel(plat::E_ABORT);
  m_engine->SetEventSink(nullptr);
}

plat::ComPtr<IAuthoringEngine> CRecordBurn::CreateRegisteredEngine() {
  plat::ComPtr<IAuthoringEngine> engine;
  plat::CoCreateInstance(CLSID_AuthoringEngine, nullptr, plat::CLSCTX_INPROC_SERVER, IID_IAuthoringEngine,
                         reinterpret_cast<void**>(engine.ReleaseAndGetAddressOf()));
  return engine;
}

bool CRecordBurn::Prepare() {
  m_state = State::Failed;
  m_engine = m_factory ? m_factory() : nullptr;
  if (!m_engine || FAILED(m_engine->Initialize())) return false;
  int writer = -1;
  if (FAILED(m_engine->GetCurrentWriter(&writer)) || writer < 0) return false;
  if (FAILED(m_engine->SelectWriter(writer, 1))) return false;
  if (FAILED(m_engine->SetDiscType(kAuthoringDiscDataCd))) return false;
  m_state = State::Ready;
  return true;
}

bool CRecordBurn::Burn(const std::string& folder, const std::string& label) {
  if (m_state != State::Ready) return false;
  m_state = State::Failed;
  // The disc holds what the copy made, in a stable order.
  std::vector<std::string> entries;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(it->path().string());
  if (ec || entries.empty()) return false;
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries)
    if (FAILED(m_engine->AddElement(entry.c_str()))) return false;
  if (!label.empty() && FAILED(m_engine->SetVolumeLabel(label.c_str()))) return false;
  if (FAILED(m_engine->SetEventSink(&m_sink))) return false;
  const std::string work = AuthoringWorkFolder();
  m_state = State::Burning;
  if (FAILED(m_engine->StartBurning(work.c_str()))) {
    m_state = State::Failed;
    return false;
  }
  return true;
}

void CRecordBurn::Cancel() {
  if (m_engine && m_state == State::Burning) m_engine->Cancel(plat::E_ABORT);
}

int CRecordBurn::Sink::Notify7(SinkArg a, SinkArg) {
  if (a) owner_.OnStatus(*reinterpret_cast<const AuthoringStatus*>(a));
  return 1;
}

void CRecordBurn::OnStatus(const AuthoringStatus& status) {
  m_status = status;
  if (m_state == State::Burning) {
    if (status.stage == kAuthoringStageDone) m_state = State::Done;
    else if (status.stage == kAuthoringStageFailed || status.stage == kAuthoringStageCancelled) m_state = State::Failed;
  }
  if (m_onChange) m_onChange();
}
