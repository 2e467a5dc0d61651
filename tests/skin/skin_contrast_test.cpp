// The default skin's texts can be read in every state: each text drawn on an
// element (a list item's caption, the label of a list action or link, of a
// button or link) stands out from the plate the generator drew under it by
// at least 4.5:1 (the contrast ratio of the web's accessibility guidelines)
// in each of the element's four states: normal, focused, pressed or
// checked, disabled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "lounge/shell/app_services.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "platform/gdi/bitmap.h"

namespace {

namespace fs = std::filesystem;

const fs::path kContrastBin = MARIVEL_TEST_BIN_DIR;
constexpr double kMinimumContrast = 4.5;
const char* const kStateNames[4] = {"normal", "focused", "pressed", "disabled"};

// Every installed page path ("Photo\PhotoBrowser").
std::vector<std::string> InstalledPagePaths() {
  std::vector<std::string> pages;
  const fs::path root = kContrastBin / "Layout" / "XML";
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().filename() != "layout.xml") continue;
    std::string page = fs::relative(entry.path().parent_path(), root).string();
    std::replace(page.begin(), page.end(), '/', '\\');
    pages.push_back(page);
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

double Channel(unsigned value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// Relative luminance of a COLORREF (0x00BBGGRR).
double Luminance(plat::COLORREF colour) {
  return 0.2126 * Channel(colour & 0xFF) + 0.7152 * Channel((colour >> 8) & 0xFF) +
         0.0722 * Channel((colour >> 16) & 0xFF);
}

double Contrast(plat::COLORREF a, plat::COLORREF b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::string Hex(plat::COLORREF colour) {
  std::ostringstream out;
  out << std::hex << colour;
  return out.str();
}

// A four-frame state strip as drawn into an element's rectangle.
class StateStrip {
 public:
  explicit StateStrip(const std::string& file) {
    BitmapPtr bitmap(LoadDibSectionFile(file));
    if (bitmap) pixels_ = plat::GetBitmapSurface(bitmap.get());
  }
  bool ok() const { return pixels_ && pixels_->width() >= 4; }

  // The colour most of the frame's pixels under `text` have, `text` and
  // `element` in layout coordinates (the frame is stretched over `element`).
  plat::COLORREF PlateUnder(int state, const plat::RECT& element, const plat::RECT& text) const {
    const int frameW = pixels_->width() / 4, frameH = pixels_->height();
    const int ew = std::max<int>(1, element.right - element.left), eh = std::max<int>(1, element.bottom - element.top);
    const auto fx = [&](long x) { return std::clamp<long>((x - element.left) * frameW / ew, 0, frameW); };
    const auto fy = [&](long y) { return std::clamp<long>((y - element.top) * frameH / eh, 0, frameH); };
    std::map<std::uint32_t, int> counts;
    for (long y = fy(text.top); y < fy(text.bottom); ++y)
      for (long x = fx(text.left); x < fx(text.right); ++x)
        ++counts[pixels_->pixel(static_cast<int>(state * frameW + x), static_cast<int>(y)) & 0xFFFFFFu];
    if (counts.empty()) return 0;
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    const std::uint32_t bgra = most->first;  // 0x00RRGGBB
    return ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF);
  }

 private:
  plat::SurfacePtr pixels_;
};

bool Overlaps(const plat::RECT& a, const plat::RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class SkinContrast : public ::testing::Test {
 protected:
  void SetUp() override { SetSkinBaseFolder(kContrastBin); }
  void TearDown() override { SetSkinBaseFolder({}); }

  // Checks the four colours of a text against the strip of the element it
  // sits on.
  void ExpectReadable(const std::string& what, const std::string& image, const plat::RECT& element,
                      const plat::RECT& text, const plat::COLORREF (&colours)[4]) {
    if (!Overlaps(element, text)) return;
    const StateStrip strip(image);
    ASSERT_TRUE(strip.ok()) << what << ": " << image;
    for (int state = 0; state < 4; ++state) {
      const plat::COLORREF plate = strip.PlateUnder(state, element, text);
      EXPECT_GE(Contrast(colours[state], plate), kMinimumContrast)
          << what << ", " << kStateNames[state] << ": text " << Hex(colours[state]) << " on " << Hex(plate);
      ++checked_;
    }
  }
  int checked_ = 0;
};

TEST_F(SkinContrast, EveryTextOnAnElementCanBeReadInEveryState) {
  // List items' captions are drawn in the scheme colour of their state.
  const plat::COLORREF scheme[4] = {GetSchemeColor(0), GetSchemeColor(1), GetSchemeColor(2), GetSchemeColor(3)};
  for (const std::string& page : InstalledPagePaths()) {
    SCOPED_TRACE(page);
    CLayoutReader layout(page);
    ASSERT_EQ(layout.LoadAll(), 1);
    const auto labels = [&](const LayoutText& text, const std::vector<LayoutImage>* listActions,
                            const std::vector<LayoutIndicator>* listLinks) {
      const plat::COLORREF colours[4] = {text.normalColor, text.highlightColor, text.pressedColor,
                                         text.disabledColor};
      for (const LayoutButton& b : layout.Buttons())
        if (b.action == text.dependency) ExpectReadable(text.name, b.image, b.rect, text.rect, colours);
      for (const LayoutLink& l : layout.Links())
        if (l.name == text.dependency) ExpectReadable(text.name, l.image, l.rect, text.rect, colours);
      if (listActions)
        for (const LayoutImage& a : *listActions)
          if (a.name == text.dependency) ExpectReadable(text.name, a.image, a.rect, text.rect, colours);
      if (listLinks)
        for (const LayoutIndicator& l : *listLinks)
          if (l.name == text.dependency) ExpectReadable(text.name, l.image, l.rect, text.rect, colours);
    };
    for (const LayoutText& text : layout.Texts()) labels(text, nullptr, nullptr);
    for (const CLayoutList& list : layout.Lists()) {
      for (const LayoutText& text : list.texts) labels(text, &list.actions, &list.links);
      for (const LayoutListItem& item : list.items)
        if (item.textRect.right > item.textRect.left)
          ExpectReadable(item.name + " caption", item.image, item.rect, item.textRect, scheme);
    }
  }
  EXPECT_GT(checked_, 400) << "the layouts' texts were not found";
}

}  // namespace
