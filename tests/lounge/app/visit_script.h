// A visit of the lounge program driven by a script, with pictures taken on
// the way. Besides the runner's own commands the steps may hold
// "shot NAME" (one picture) and "poll NAME" (a picture every quarter second
// for up to kPollShots of them); a check then looks for the first polled
// picture that shows the awaited state, so a slow machine only takes more
// of the pictures, never fails the check.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lounge/shell/app_services.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/string_table.h"
#include "platform/xml/document.h"
#include "tests/lounge/app/lounge_program.h"
#include "tests/lounge/app/screen_checks.h"
#include "tests/lounge/app/screen_regions.h"
#include "tests/lounge/app/visit_layout.h"

namespace app_test {

constexpr int kPollShots = 24;
constexpr int kPollMs = 250;

// A text, action or image of an installed layout: its rectangle on the
// visit's screen, its normal colour and its alignment.
struct VisitElement {
  Box box{};
  plat::COLORREF colour = 0;
  int align = ALIGN_LEFT;
};

inline std::optional<plat::xml::Element> FindVisitElement(const plat::xml::Element& parent, const std::string& name) {
  for (const plat::xml::Element& child : parent.children()) {
    if (child.attribute("value") == name && child.child("position")) return child;
    if (auto found = FindVisitElement(child, name)) return found;
  }
  return std::nullopt;
}

// The element `name` of the installed layout of `page` ("Video\Setting\GeneralSetting"
// written with slashes: "Video/Setting/GeneralSetting").
inline std::optional<VisitElement> LayoutElementOf(const std::string& page, const std::string& name) {
  plat::xml::Document doc;
  if (!doc.loadFile(std::string(MARIVEL_TEST_BIN_DIR) + "/Layout/XML/" + page + "/layout.xml")) return std::nullopt;
  const auto found = FindVisitElement(doc.documentElement(), name);
  if (!found) return std::nullopt;
  const plat::xml::Element position = found->child("position");
  const auto number = [&](const char* attribute) { return std::stoi(position.attribute(attribute).value_or("0")); };
  VisitElement out;
  out.box = AtVisit({number("left"), number("top"), number("width"), number("height")});
  if (const plat::xml::Element colour = found->child("color"))
    out.colour = static_cast<plat::COLORREF>(std::stoul(colour.attribute("normalcolor").value_or("0"), nullptr, 16));
  if (const plat::xml::Element align = found->child("align")) {
    const std::string value = align.attribute("value").value_or("");
    out.align = value == "CENTER" ? ALIGN_CENTER : value == "RIGHT" ? ALIGN_RIGHT : ALIGN_LEFT;
  }
  return out;
}

// "click X Y" on the middle of a box.
inline std::string ClickOn(Box box) {
  return "click " + std::to_string(box.left + box.width / 2) + " " + std::to_string(box.top + box.height / 2) + "\n";
}

class ScriptedVisit : public LoungeProgramTest {
 protected:
  void SetUp() override {
    LoungeProgramTest::SetUp();
    // Text checks draw with the installed skin's fonts and strings.
    SetSkinBaseFolder(MARIVEL_TEST_BIN_DIR);
    strings_ = std::make_unique<CStringTable>(std::filesystem::path(MARIVEL_TEST_BIN_DIR));
    SetUIStringTable(strings_.get());
  }
  void TearDown() override {
    SetUIStringTable(nullptr);
    SetSkinBaseFolder({});
  }
  // The installed string table's text for `key`.
  std::string Word(const std::string& key) const { return UIStringOrEmpty(key); }

  // Runs the program on `steps`; the pictures land in shots_ ("poll NAME"
  // as NAME#0, NAME#1 ...). Returns the exit status.
  // A poll whose name `ready` holds is answered as a check instead: the
  // script waits until its picture meets the condition (or the check's bound
  // passes), however slow the machine, and the picture lands as NAME#0.
  int RunVisit(const std::string& tag, const std::string& steps, const std::vector<std::string>& extraEnv = {},
               const std::map<std::string, ScreenReady>& ready = {}) {
    std::string script;
    std::vector<std::string> names;
    std::map<std::string, std::string> checks;
    std::map<std::string, ScreenReady> conditions;
    std::istringstream lines(steps);
    const auto shotLine = [&](const std::string& name) {
      names.push_back(name);
      return "shot " + dir_ + "/" + tag + "-" + std::to_string(names.size()) + ".png\n";
    };
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("shot ", 0) == 0) {
        script += shotLine(line.substr(5));
      } else if (line.rfind("poll ", 0) == 0 && ready.count(line.substr(5))) {
        const std::string name = line.substr(5);
        const std::string file = dir_ + "/" + tag + "-" + name + ".check.png";
        checks[file] = name + "#0";
        conditions[name + "#0"] = ready.at(name);
        script += "check " + file + "\n";
      } else if (line.rfind("poll ", 0) == 0) {
        for (int i = 0; i < kPollShots; ++i)
          script += shotLine(line.substr(5) + "#" + std::to_string(i)) + "wait " + std::to_string(kPollMs) + "\n";
      } else {
        script += line + "\n";
      }
    }
    ChildProcess lounge =
        Lounge({"--headless=" + std::to_string(kVisitScreenW) + "x" + std::to_string(kVisitScreenH), "--script",
                WriteScript(script, tag + ".txt")},
               extraEnv);
    const int status = checks.empty() ? lounge.Wait(kStartMs) : DriveChecks(lounge, checks, conditions, shots_);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string file = dir_ + "/" + tag + "-" + std::to_string(i + 1) + ".png";
      if (const char* keep = std::getenv("MARIVEL_KEEP_SHOTS")) {
        std::error_code ec;
        std::filesystem::copy_file(file, std::string(keep) + "/" + tag + "-" + names[i] + ".png",
                                   std::filesystem::copy_options::overwrite_existing, ec);
      }
      if (auto picture = ReadPng(file)) shots_[names[i]] = std::move(*picture);
    }
    return status;
  }

  // The first picture of "poll NAME" for which `holds` is true, or null.
  const plat::Surface* Polled(const std::string& name, const std::function<bool(const plat::Surface&)>& holds) const {
    for (int i = 0; i < kPollShots; ++i) {
      const auto it = shots_.find(name + "#" + std::to_string(i));
      if (it != shots_.end() && holds(it->second)) return &it->second;
    }
    return nullptr;
  }
  // The last picture of "poll NAME" (to show what was seen instead).
  const plat::Surface* LastPolled(const std::string& name) const {
    for (int i = kPollShots - 1; i >= 0; --i) {
      const auto it = shots_.find(name + "#" + std::to_string(i));
      if (it != shots_.end()) return &it->second;
    }
    return nullptr;
  }

  std::map<std::string, plat::Surface> shots_;
  std::unique_ptr<CStringTable> strings_;
};

}  // namespace app_test
