#include "lounge/shell/script_runner.h"

#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/win/file_dialog.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/message.h"
#include "platform/win/window.h"

namespace {

constexpr const char* kRunnerClass = "Marivel3 Script";
constexpr plat::UINT_PTR kStepTimer = 1;
// Longest wait a script may ask for: one hour.
constexpr int kMaxWaitMs = 3'600'000;

struct KeyName {
  std::string_view name;
  plat::UINT vk;
};
constexpr std::array<KeyName, 24> kKeyNames{{
    {"left", plat::VK_LEFT},     {"right", plat::VK_RIGHT},      {"up", plat::VK_UP},
    {"down", plat::VK_DOWN},     {"return", plat::VK_RETURN},    {"enter", plat::VK_RETURN},
    {"escape", plat::VK_ESCAPE}, {"esc", plat::VK_ESCAPE},       {"space", plat::VK_SPACE},
    {"tab", plat::VK_TAB},       {"back", plat::VK_BACK},        {"backspace", plat::VK_BACK},
    {"home", plat::VK_HOME},     {"end", plat::VK_END},          {"prior", plat::VK_PRIOR},
    {"pageup", plat::VK_PRIOR},  {"next", plat::VK_NEXT},        {"pagedown", plat::VK_NEXT},
    {"insert", plat::VK_INSERT}, {"delete", plat::VK_DELETE},    {"volumeup", plat::VK_VOLUME_UP},
    {"volumedown", plat::VK_VOLUME_DOWN}, {"volumemute", plat::VK_VOLUME_MUTE},
    {"playpause", plat::VK_MEDIA_PLAY_PAUSE},
}};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const std::size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool ReadInt(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// Parses one line's words into `step`; an empty message means success.
std::string ParseLine(const std::vector<std::string_view>& words, std::string_view line, ScriptStep& step) {
  const std::string command = Lower(words[0]);
  const std::size_t args = words.size() - 1;
  auto count = [&](std::size_t wanted, const char* usage) -> std::string {
    return args == wanted ? std::string() : std::string("expected \"") + usage + "\"";
  };
  if (command == "key") {
    if (auto e = count(1, "key NAME"); !e.empty()) return e;
    const auto vk = KeyFromName(words[1]);
    if (!vk) return "unknown key \"" + std::string(words[1]) + "\"";
    step.kind = ScriptStep::Kind::Key;
    step.vk = *vk;
    return {};
  }
  if (command == "wait") {
    if (auto e = count(1, "wait MILLISECONDS"); !e.empty()) return e;
    if (!ReadInt(words[1], step.ms) || step.ms < 0 || step.ms > kMaxWaitMs) {
      return "wait needs milliseconds from 0 to " + std::to_string(kMaxWaitMs) + ", not \"" + std::string(words[1]) +
             "\"";
    }
    step.kind = ScriptStep::Kind::Wait;
    return {};
  }
  if (command == "click") {
    if (auto e = count(2, "click X Y"); !e.empty()) return e;
    if (!ReadInt(words[1], step.x) || !ReadInt(words[2], step.y)) return "click needs two whole numbers";
    step.kind = ScriptStep::Kind::Click;
    return {};
  }
  if (command == "shot" || command == "check") {
    // The file name is the rest of the line, so it may hold spaces.
    const std::size_t at = line.find(words[0]) + words[0].size();
    std::string_view rest = line.substr(at);
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.remove_suffix(1);
    if (rest.empty()) return "expected \"" + command + " FILE\"";
    step.kind = command == "shot" ? ScriptStep::Kind::Shot : ScriptStep::Kind::Check;
    step.path = std::string(rest);
    return {};
  }
  if (command == "choose") {
    step.kind = ScriptStep::Kind::Choose;
    for (std::size_t i = 1; i < words.size(); ++i) step.paths.emplace_back(words[i]);
    return {};
  }
  if (command == "close") {
    if (auto e = count(0, "close"); !e.empty()) return e;
    step.kind = ScriptStep::Kind::Close;
    return {};
  }
  return "unknown command \"" + std::string(words[0]) + "\"";
}

// Writes the screen to `path` whole: under another name first, so that a
// reader polling for the file never sees half a picture.
bool WriteScreen(const std::string& path, const char* step, std::string& error) {
  plat::display::HeadlessBackend* headless = plat::display::CurrentHeadless();
  if (!headless) {
    error = std::string(step) + " needs the headless display";
    return false;
  }
  plat::display::ComposeNow();
  const std::string part = path + ".part";
  std::error_code ec;
  if (!headless->screenshot(part) || (std::filesystem::rename(part, path, ec), ec)) {
    std::filesystem::remove(part, ec);
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

std::optional<plat::UINT> KeyFromName(std::string_view name) {
  const std::string lower = Lower(name);
  for (const KeyName& key : kKeyNames) {
    if (lower == key.name) return key.vk;
  }
  if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]))) {
    return static_cast<plat::UINT>(std::toupper(static_cast<unsigned char>(lower[0])));
  }
  int number = 0;
  if (lower.size() >= 2 && lower[0] == 'f' && ReadInt(std::string_view(lower).substr(1), number) && number >= 1 &&
      number <= 12) {
    return plat::VK_F1 + static_cast<plat::UINT>(number - 1);
  }
  return std::nullopt;
}

bool ParseScript(std::string_view text, std::vector<ScriptStep>& steps, std::string& error) {
  steps.clear();
  int lineNumber = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    pos = end + 1;
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0].front() == '#') continue;
    ScriptStep step;
    step.line = lineNumber;
    if (std::string message = ParseLine(words, line, step); !message.empty()) {
      error = "line " + std::to_string(lineNumber) + ": " + message;
      steps.clear();
      return false;
    }
    steps.push_back(std::move(step));
  }
  return true;
}

bool LoadScript(const std::string& path, std::vector<ScriptStep>& steps, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the script";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (!ParseScript(text.str(), steps, error)) {
    // "line N: ..." becomes "FILE:N: ...".
    error = path + ":" + error.substr(5);
    return false;
  }
  return true;
}

CScriptRunner::CScriptRunner(std::vector<ScriptStep> steps, std::function<plat::HWND()> frame, Done done)
    : steps_(std::move(steps)), frame_(std::move(frame)), done_(std::move(done)) {}

CScriptRunner::~CScriptRunner() {
  if (answers_) plat::SetFileChooser({});
  if (window_ && plat::IsWindow(window_)) plat::DestroyWindow(window_);
}

bool CScriptRunner::Start() {
  if (window_) return true;
  plat::WNDCLASS wc{};
  wc.lpfnWndProc = &CScriptRunner::Proc;
  wc.lpszClassName = kRunnerClass;
  plat::RegisterClass(&wc);
  window_ = plat::CreateWindowEx(0, kRunnerClass, "", 0, 0, 0, 0, 0, plat::HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!window_) return false;
  plat::SetWindowLongPtr(window_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
  // A script that answers file dialogs is their only chooser while it runs.
  for (const ScriptStep& step : steps_) {
    if (step.kind != ScriptStep::Kind::Choose) continue;
    answers_ = std::make_shared<std::vector<std::vector<std::string>>>();
    plat::SetFileChooser([answers = answers_](const plat::OpenFileRequest&, std::vector<std::string>& paths) {
      if (answers->empty()) return false;
      paths = std::move(answers->front());
      answers->erase(answers->begin());
      return !paths.empty();
    });
    break;
  }
  Schedule(kStepPauseMs);
  return true;
}

void CScriptRunner::Schedule(unsigned ms) { plat::SetTimer(window_, kStepTimer, ms, nullptr); }

plat::LRESULT CScriptRunner::Proc(plat::HWND window, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == plat::WM_TIMER && wParam == kStepTimer) {
    auto* self = reinterpret_cast<CScriptRunner*>(plat::GetWindowLongPtr(window, plat::GWLP_USERDATA));
    if (self) self->OnTimer();
    return 0;
  }
  return plat::DefWindowProc(window, msg, wParam, lParam);
}

void CScriptRunner::OnTimer() {
  plat::KillTimer(window_, kStepTimer);
  if (finished_) return;
  if (holding_) {
    std::string error;
    if (!Check(steps_[next_ - 1], error)) {
      Finish(false, "line " + std::to_string(steps_[next_ - 1].line) + ": " + error);
      return;
    }
    Schedule(holding_ ? kCheckPollMs : kStepPauseMs);
    return;
  }
  if (next_ >= steps_.size()) {
    Finish(true, {});
    return;
  }
  const ScriptStep& step = steps_[next_++];
  std::string error;
  if (!Run(step, error)) {
    Finish(false, "line " + std::to_string(step.line) + ": " + error);
    return;
  }
  // A wait lets the program run on; other steps leave it a moment to react.
  Schedule(step.kind == ScriptStep::Kind::Wait ? static_cast<unsigned>(step.ms)
           : holding_                          ? kCheckPollMs
                                               : kStepPauseMs);
}

bool CScriptRunner::Run(const ScriptStep& step, std::string& error) {
  switch (step.kind) {
    case ScriptStep::Kind::Key:
      plat::InjectKey(step.vk);
      return true;
    case ScriptStep::Kind::Wait:
      return true;
    case ScriptStep::Kind::Click:
      plat::InjectClick(step.x, step.y);
      return true;
    case ScriptStep::Kind::Shot:
      return WriteScreen(step.path, "shot", error);
    case ScriptStep::Kind::Check:
      if (!WriteScreen(step.path, "check", error)) return false;
      holding_ = true;
      heldSince_ = std::chrono::steady_clock::now();
      return true;
    case ScriptStep::Kind::Choose:
      if (answers_) answers_->push_back(step.paths);
      return true;
    case ScriptStep::Kind::Close: {
      const plat::HWND frame = frame_ ? frame_() : nullptr;
      if (!frame || !plat::IsWindow(frame)) {
        error = "there is no main window to close";
        return false;
      }
      plat::PostMessage(frame, plat::WM_CLOSE, 0, 0);
      return true;
    }
  }
  return true;
}

bool CScriptRunner::Check(const ScriptStep& step, std::string& error) {
  std::error_code ec;
  if (std::filesystem::exists(step.path + ".ok", ec)) {
    holding_ = false;
    return true;
  }
  if (std::chrono::steady_clock::now() - heldSince_ > std::chrono::milliseconds(kCheckMaxMs)) {
    error = "no answer to " + step.path;
    return false;
  }
  // The driver took the picture away: it wants a newer one.
  if (!std::filesystem::exists(step.path, ec)) return WriteScreen(step.path, "check", error);
  return true;
}

void CScriptRunner::Finish(bool ok, const std::string& error) {
  finished_ = true;
  if (done_) done_(ok, error);
}
