#include "platform/gdi/font.h"

#include <cstring>

#include "platform/gdi/font_instance.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/text_encoding.h"

namespace plat {

HFONT CreateFontIndirectA(const LOGFONTA* logfont) {
  if (!logfont) return nullptr;
  auto obj = std::make_unique<gdi::FontObject>();
  obj->logfont = *logfont;
  obj->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
  return gdi::ObjectTable::Get().Add(std::move(obj));
}

HFONT CreateFontIndirectW(const LOGFONTW* logfont) {
  if (!logfont) return nullptr;
  LOGFONTA a;
  std::memcpy(static_cast<void*>(&a), logfont, offsetof(LOGFONTA, lfFaceName));
  std::size_t n = 0;
  while (n < LF_FACESIZE && logfont->lfFaceName[n]) ++n;
  const std::string face = gdi::Utf16ToUtf8(std::u16string_view(logfont->lfFaceName, n));
  // Keep whole characters only when the UTF-8 form is longer than the field.
  std::size_t len = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  while (len > 0 && len < face.size() && (static_cast<unsigned char>(face[len]) & 0xC0) == 0x80) --len;
  std::memcpy(a.lfFaceName, face.data(), len);
  a.lfFaceName[len] = 0;
  return CreateFontIndirectA(&a);
}

namespace {
LOGFONTA MakeLogFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                     DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision,
                     DWORD quality, DWORD pitch_and_family) {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic ? 1 : 0);
  lf.lfUnderline = static_cast<BYTE>(underline ? 1 : 0);
  lf.lfStrikeOut = static_cast<BYTE>(strike_out ? 1 : 0);
  lf.lfCharSet = static_cast<BYTE>(charset);
  lf.lfOutPrecision = static_cast<BYTE>(out_precision);
  lf.lfClipPrecision = static_cast<BYTE>(clip_precision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitch_and_family);
  return lf;
}
}  // namespace

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, const char* face) {
  LOGFONTA lf = MakeLogFont(height, width, escapement, orientation, weight, italic, underline, strike_out, charset,
                            out_precision, clip_precision, quality, pitch_and_family);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, const WCHAR* face) {
  LOGFONTA a = MakeLogFont(height, width, escapement, orientation, weight, italic, underline, strike_out, charset,
                           out_precision, clip_precision, quality, pitch_and_family);
  LOGFONTW lf;
  std::memcpy(static_cast<void*>(&lf), &a, offsetof(LOGFONTW, lfFaceName));
  for (int i = 0; face && i < LF_FACESIZE - 1 && face[i]; ++i) lf.lfFaceName[i] = face[i];
  return CreateFontIndirectW(&lf);
}

namespace gdi {
// The instance behind a font object, created on first use.
std::shared_ptr<FontInstance> ResolveFont(HFONT font) {
  auto* obj = Find<FontObject>(font);
  if (!obj) obj = Find<FontObject>(GetStockObject(DEFAULT_GUI_FONT));
  if (!obj) return nullptr;
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  if (!obj->instance) obj->instance = FontInstance::ForLogFont(obj->logfont);
  return obj->instance;
}
}  // namespace gdi

ResolvedFont GetResolvedFont(HFONT font) {
  if (!gdi::Find<gdi::FontObject>(font)) return {};
  auto inst = gdi::ResolveFont(font);
  return {inst->file().c_str(), inst->family().c_str()};
}

}  // namespace plat
