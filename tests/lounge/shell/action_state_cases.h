// Table-driven checks of the action state queries: each case sets up a fresh
// section (with a configuration root for the vendor id), asks one action name
// with every output preset to kKept, and compares the three outputs and the
// result. kKept in an expectation means "the query must not touch it".
#pragma once

#include <functional>
#include <ostream>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "corebridge/core/config.h"
#include "tests/corebridge/core/sections_test_support.h"

namespace action_state_test {

inline constexpr int kKept = 9;

struct Out {
  int shown = kKept;
  int enabled = kKept;
  int checked = kKept;
  bool operator==(const Out&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Out& o) {
  return os << "{shown " << o.shown << ", enabled " << o.enabled << ", checked " << o.checked << "}";
}

template <class Section>
struct Case {
  std::string_view action;
  std::function<void(CConfig&, Section&)> setup;
  Out expected;
  int result = 1;
};

// `ask(section, action, shown, enabled, checked)` is the module's lookup.
template <class Section, class Ask>
void RunCases(const std::vector<Case<Section>>& cases, Ask ask) {
  sections_test::TempEnvironment env;
  CConfig root;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case<Section>& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << " \"" << c.action << "\"");
    root.m_nVendorId = 0;
    Section section(&root);
    if (c.setup) c.setup(root, section);
    Out out;
    EXPECT_EQ(ask(section, c.action, out.shown, out.enabled, out.checked), c.result);
    EXPECT_EQ(out, c.expected);
  }
}

}  // namespace action_state_test
