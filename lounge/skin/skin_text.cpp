#include "lounge/skin/skin_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "lounge/shell/app_services.h"
#include "lounge/skin/gdi_handles.h"
#include "lounge/skin/layout_records.h"
#include "lounge/skin/string_table.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"

namespace {

constexpr const char* kDefaultFontKey = "FONT1";

bool IsMultiLine(int align) { return align >= ALIGN_MULTIPLELINE && align <= ALIGN_MULTIPLELINECENTERTOP; }
bool IsTopAligned(int align) { return align == ALIGN_MULTIPLELINETOP || align == ALIGN_MULTIPLELINECENTERTOP; }

// Copies a face name into the font record's fixed field without splitting a
// UTF-8 sequence.
void CopyFaceName(const std::string& face, char (&field)[plat::LF_FACESIZE]) {
  std::size_t length = std::min<std::size_t>(face.size(), plat::LF_FACESIZE - 1);
  while (length > 0 && length < face.size() && (static_cast<unsigned char>(face[length]) & 0xC0) == 0x80) --length;
  std::memcpy(field, face.data(), length);
  field[length] = '\0';
}

// The skin font over a device context: creates fonts of the asked height,
// keeps the current one selected, and puts the DC's own font back at the end.
class SkinFontScope {
 public:
  SkinFontScope(plat::HDC dc, const std::string& face) : dc_(dc) {
    CopyFaceName(face, logfont_.lfFaceName);
    logfont_.lfWeight = SKIN_FONT_WEIGHT;
    logfont_.lfCharSet = GetSkinCharset();
  }
  ~SkinFontScope() {
    if (previous_) plat::SelectObject(dc_, previous_);
  }
  SkinFontScope(const SkinFontScope&) = delete;
  SkinFontScope& operator=(const SkinFontScope&) = delete;

  void SetHeight(int height) {
    logfont_.lfHeight = height;
    FontPtr font(plat::CreateFontIndirectA(&logfont_));
    if (!font) return;
    plat::HGDIOBJ old = plat::SelectObject(dc_, font.get());
    if (!old) return;
    if (!previous_) previous_ = old;
    // The font selected before stays alive until it is deselected here.
    font_ = std::move(font);
  }

 private:
  plat::HDC dc_;
  plat::LOGFONTA logfont_{};
  FontPtr font_;
  plat::HGDIOBJ previous_ = nullptr;
};

// A text device over a DC for UTF-8 or UTF-16 text.
template <typename Char>
class DcTextDevice final : public SkinTextDevice {
 public:
  DcTextDevice(plat::HDC dc, const std::string& face, const std::basic_string<Char>& text, plat::UINT extraFlags)
      : dc_(dc), font_(dc, face), text_(text), extraFlags_(extraFlags) {}

  void SetFontHeight(int height) override { font_.SetHeight(height); }

  plat::RECT Measure(const plat::RECT& rect, plat::UINT flags) override {
    plat::RECT measured = rect;
    Call(&measured, flags | extraFlags_ | plat::DT_CALCRECT);
    return measured;
  }

  void Draw(const plat::RECT& rect, plat::UINT flags) override {
    plat::RECT target = rect;
    Call(&target, flags | extraFlags_);
  }

 private:
  void Call(plat::RECT* rect, plat::UINT flags) {
    const int length = static_cast<int>(std::min<std::size_t>(text_.size(), INT32_MAX));
    if constexpr (sizeof(Char) == 1) {
      plat::DrawTextA(dc_, text_.data(), length, rect, flags);
    } else {
      plat::DrawTextW(dc_, text_.data(), length, rect, flags);
    }
  }

  plat::HDC dc_;
  SkinFontScope font_;
  const std::basic_string<Char>& text_;
  plat::UINT extraFlags_;
};

// Doubles every ampersand so that each prints as itself.
std::string DoubleAmpersands(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    out.push_back(c);
    if (c == '&') out.push_back('&');
  }
  return out;
}

std::string DefaultFace() {
  std::string face;
  LookupUIString(kDefaultFontKey, face);
  return face;
}

template <typename Char>
int DrawWithDevice(plat::HDC dc, const plat::RECT& rect, const std::string& face, const std::basic_string<Char>& text,
                   plat::UINT extraFlags, int align, plat::COLORREF colour, int fit) {
  // A rectangle without height has no font size and nothing to show.
  if (rect.bottom <= rect.top) return 1;
  plat::SetBkMode(dc, plat::TRANSPARENT);
  plat::SetTextColor(dc, colour);
  DcTextDevice<Char> device(dc, face, text, extraFlags);
  LayOutSkinText(device, rect, align, fit);
  return 1;
}

}  // namespace

plat::UINT SkinTextAlignFlags(int align) {
  switch (align) {
    case ALIGN_LEFT:
      return plat::DT_LEFT;
    case ALIGN_RIGHT:
      return plat::DT_RIGHT;
    case ALIGN_CENTER:
      return plat::DT_CENTER;
    case ALIGN_MULTIPLELINE:
    case ALIGN_MULTIPLELINETOP:
      return plat::DT_WORDBREAK;
    case ALIGN_MULTIPLELINECENTER:
    case ALIGN_MULTIPLELINECENTERTOP:
      return plat::DT_WORDBREAK | plat::DT_CENTER;
    default:
      return plat::DT_CENTER;
  }
}

plat::UINT SkinTextFitFlags(int fit) {
  switch (fit) {
    case SKIN_FIT_ELLIPSIS:
      return plat::DT_END_ELLIPSIS | plat::DT_PATH_ELLIPSIS;
    case SKIN_FIT_PATH_ELLIPSIS:
      return plat::DT_PATH_ELLIPSIS;
    case SKIN_FIT_END_ELLIPSIS:
      return plat::DT_END_ELLIPSIS;
    default:
      return 0;
  }
}

void LayOutSkinText(SkinTextDevice& device, const plat::RECT& rect, int align, int fit) {
  const plat::UINT flags = SkinTextAlignFlags(align);
  const plat::UINT fitFlags = SkinTextFitFlags(fit);
  const int height = rect.bottom - rect.top;
  const int width = rect.right - rect.left;
  device.SetFontHeight(height);

  plat::RECT measured;
  if (fit != SKIN_FIT_SHRINK) {
    measured = device.Measure(rect, flags | fitFlags | plat::DT_CALCRECT);
  } else if (!IsMultiLine(align)) {
    measured = device.Measure(rect, flags | plat::DT_CALCRECT);
    const int textWidth = measured.right - measured.left;
    if (textWidth > width) {
      // Shrink in proportion to how much too wide the text is.
      const std::int64_t scaled = std::int64_t{height} * width / textWidth - 1;
      device.SetFontHeight(static_cast<int>(std::clamp<std::int64_t>(scaled, 1, height)));
      measured = device.Measure(rect, flags | plat::DT_VCENTER | plat::DT_CALCRECT);
    }
  } else {
    // A third of the height, a quarter, a fifth... down to 1 pixel, where
    // the search stops whether or not the text fits.
    for (int divisor = 3;; ++divisor) {
      const int fontHeight = std::max(height / divisor, 1);
      device.SetFontHeight(fontHeight);
      measured = device.Measure(
          rect, flags | plat::DT_WORDBREAK | plat::DT_END_ELLIPSIS | plat::DT_PATH_ELLIPSIS | plat::DT_CALCRECT);
      if (measured.bottom - measured.top <= height || fontHeight == 1) break;
    }
  }

  const int measuredHeight = measured.bottom - measured.top;
  const int offset = (height - measuredHeight) / 2;
  plat::RECT target = rect;
  if (!IsTopAligned(align) || offset > 0) target.top += offset;
  target.bottom = target.top + measuredHeight;
  device.Draw(target, flags | fitFlags);
}

int MeasureSkinText(plat::RECT& measured, plat::HDC dc, int left, int top, int right, int bottom,
                    const std::string& face, const std::string& text, int align) {
  measured = plat::RECT{left, top, right, bottom};
  if (align < ALIGN_LEFT || align > ALIGN_MULTIPLELINECENTERTOP || bottom <= top) return 1;
  const std::string shown = DoubleAmpersands(text);
  DcTextDevice<char> device(dc, face, shown, 0);
  device.SetFontHeight(bottom - top);
  measured = device.Measure(measured, SkinTextAlignFlags(align) | plat::DT_CALCRECT);
  return 1;
}

int DrawSkinText(plat::HDC dc, int left, int top, int right, int bottom, const std::string& face,
                 const std::string& text, int align, plat::COLORREF colour, int fit) {
  const std::string shown = DoubleAmpersands(text);
  return DrawWithDevice(dc, plat::RECT{left, top, right, bottom}, face, shown, 0, align, colour, fit);
}

int DrawSkinTextDefaultFont(plat::HDC dc, int left, int top, int right, int bottom, const std::string& text, int align,
                            plat::COLORREF colour, int fit) {
  return DrawSkinText(dc, left, top, right, bottom, DefaultFace(), text, align, colour, fit);
}

int DrawWideText(plat::HDC dc, int left, int top, int right, int bottom, const std::string& face,
                 const std::u16string& text, int align, plat::COLORREF colour, int fit) {
  return DrawWithDevice(dc, plat::RECT{left, top, right, bottom}, face, text, plat::DT_NOPREFIX, align, colour, fit);
}

int DrawWideTextDefaultFont(plat::HDC dc, int left, int top, int right, int bottom, const std::u16string& text,
                            int align, plat::COLORREF colour, int fit) {
  return DrawWideText(dc, left, top, right, bottom, DefaultFace(), text, align, colour, fit);
}
