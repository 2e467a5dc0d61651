// The Movie page's drawing: the option values of the settings pages, the
// region numbers, the parental-lock notice and the drive selector's tiles.
#include <iterator>
#include <list>

#include "corebridge/core/config.h"
#include "corebridge/core/movie_config.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/movie/movie_page.h"
#include "lounge/shell/app_services.h"
#include "lounge/shell/checked_format.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"

namespace {

constexpr const char* kDriveList = "Movie Multi Drive Selector List";
constexpr plat::COLORREF kWhite = 0x00FFFFFF;

// The string-table key of `value` in a 1-based table; nullptr outside it.
template <std::size_t N>
const char* KeyAt(const char* const (&keys)[N], long value) {
  return value >= 1 && value <= static_cast<long>(N) ? keys[value - 1] : nullptr;
}

std::string Word(const char* key) { return key ? UIStringOrEmpty(key) : std::string(); }

template <typename Container>
long ValueAt(const Container& values, int index) {
  if (index < 0 || index >= static_cast<int>(values.size())) return 0;
  auto it = values.begin();
  std::advance(it, index);
  return static_cast<long>(*it);
}

std::string TextAt(const std::list<std::string>& values, int index) {
  if (index < 0 || index >= static_cast<int>(values.size())) return {};
  auto it = values.begin();
  std::advance(it, index);
  return *it;
}

int DriveItemState(int code) {
  // The icon strip's frames: 0 normal, 1 focused, 2 pressed or highlighted, 3 disabled.
  switch (code) {
    case STATE_DISABLED: return 3;
    case STATE_PRESSED:
    case STATE_HIGHLIGHTED: return 2;
    default: return 0;
  }
}

}  // namespace

const char* MovieRatingKey(int rating) {
  switch (rating) {
    case 1: return "MOVIERATE_G";
    case 3: return "MOVIERATE_PG";
    case 4: return "MOVIERATE_PG13";
    case 5: return "MOVIERATE_R";
    case 7: return "MOVIERATE_NC17";
    case 15: return "MOVIERATE_NONE";
    default: return nullptr;
  }
}

std::optional<std::string> CMoviePage::OptionText(const std::string& name) {
  CConfig* config = Config();
  CMovieConfig* movie = Movie();
  if (!config || !movie) return std::nullopt;
  static constexpr const char* kVideoTo[] = {"VIDEOTO43", "WIDESCREENVIDEOTO"};
  static constexpr const char* kRatios[] = {"SCREENRATIO43", "WIDESCREEN"};
  static constexpr const char* kModes[] = {"LETTERBOX", "PANSCAN", "WIDEFILL"};
  static constexpr const char* kColours[] = {"VIVEX", "ORIGINAL", "VIVID", "BRIGHT", "THEATER"};
  static constexpr const char* kProfiles[] = {"STEREO", "DBSURROUND", "DBVIRTUALSPK", "TRUSURROUNDXTSPK", "DS3D",
                                              "DBHP",   "TRUSURROUNDXTHP", "EARSPACE", "NONE"};
  static constexpr const char* kExpanders[] = {"ROOMSIM", "DOLBYPROLOGICDECODER", "NOTSUPPORT"};
  static constexpr const char* kCaptions[] = {"OFF", "NORMAL", "REVERSE"};
  if (name == "Widescreen Video To") return Word(KeyAt(kVideoTo, config->m_nScreenRatio));
  if (name == "Movie ScreenRatio Option") return Word(KeyAt(kRatios, config->m_nScreenRatio));
  if (name == "Movie WideScreenMode Option") return Word(KeyAt(kModes, config->m_nWideScreenMode));
  if (name == "Movie ColorProfile Option") return Word(KeyAt(kColours, movie->m_nColorProfile));
  if (name == "Movie EnableDXVA Option") return Word(movie->m_bUseDxva ? "YES" : "NO");
  if (name == "Movie AudioOutput Option") {
    const long output = ValueAt(movie->m_arrSpeakers, movie->m_nAudioSpeakerIdx);
    const std::string speakers = Word("SPK");
    switch (output) {
      case 1: return "2 " + speakers;
      case 3: return "4 " + speakers;
      case 4: return "6 " + speakers;
      case 2: return Word("SPDIF");
      case 5: return Word("HEADPHONE");
      default: return std::string();
    }
  }
  if (name == "Movie AudioProfile Option")
    return Word(KeyAt(kProfiles, ValueAt(movie->m_arrAudioProfiles, movie->m_nAudioProfileIdx)));
  if (name == "Movie AudioChannelExpander Option")
    return Word(KeyAt(kExpanders, ValueAt(movie->m_arrChannelExpanders, movie->m_nAudioChannelExpanderIdx)));
  if (name == "Movie Subtitle Option") {
    const std::string text = TextAt(movie->m_listSubtitleProfiles, movie->m_nSubtitleProfileIdx);
    return text.empty() ? movie->m_strSubtitleText : text;
  }
  if (name == "Movie Language Option") {
    const std::string text = TextAt(movie->m_listLanguageProfiles, movie->m_nLanguageProfileIdx);
    return text.empty() ? movie->m_strAudioText : text;
  }
  if (name == "Movie ClosedCaption Option") return Word(KeyAt(kCaptions, movie->m_bClosedCaptionOn));
  if (name == "Movie ParentalControl Level Option")
    return movie->m_strParentalPassword.empty() ? std::string() : Word(MovieRatingKey(movie->m_nRating));
  if (name == "Movie Region RemainTimes" || name == "Movie Region RemainedTimes")
    return std::to_string(movie->m_nRegionChangesLeft);
  if (name == "Movie Current RegionCode") return std::to_string(movie->m_nSystemRegion);
  if (name == "Movie New RegionCode") return std::to_string(movie->m_nDiscRegion);
  return std::nullopt;
}

int CMoviePage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  std::string name;
  CMovieConfig* movie = Movie();
  if (!movie || !Layout() || !Layout()->GetTextName(name, i)) return CShellPage::DrawTextElement(i, dc, rect, colour);
  if (name == "Program Info" && movie->m_bLevelRequestPending) {
    const std::string text =
        CheckedFormat(UIStringOrEmpty("PROGRAMINFO"), {Word(MovieRatingKey(movie->m_nDiscRating))}).value_or("");
    DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, ALIGN_MULTIPLELINE, colour,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  const int count = static_cast<int>(movie->m_arrDrives.size());
  if ((name == "Movie Drive Name" || name == "Movie Drive Item Count") && m_shownDrive >= 0 && m_shownDrive < count) {
    std::string text;
    int align = ALIGN_CENTER;
    if (name == "Movie Drive Name") {
      GetShellDisplayName(movie->m_arrDrives[static_cast<std::size_t>(m_shownDrive)].strRoot, text);
      align = Frame().Services().GetVendorId() == 1 ? ALIGN_LEFT : ALIGN_CENTER;
    } else {
      text = std::to_string(m_shownDrive + 1) + " / " + std::to_string(count);
    }
    DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, align, kWhite, SKIN_FIT_ELLIPSIS);
    return 1;
  }
  if (name == "Movie Drive Name" || name == "Movie Drive Item Count") return 1;
  return CShellPage::DrawTextElement(i, dc, rect, colour);
}

int CMoviePage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  std::string name;
  if (Layout() && Layout()->GetListTextName(name, text, list)) {
    if (std::optional<std::string> value = OptionText(name)) {
      const LayoutText& element =
          Layout()->Lists()[static_cast<std::size_t>(list)].texts[static_cast<std::size_t>(text)];
      if (!value->empty())
        DrawSkinText(dc, rect.left, rect.top, rect.right, rect.bottom, UIStringOrEmpty(element.font), *value,
                     element.align, colour, SKIN_FIT_ELLIPSIS);
      return 1;
    }
  }
  return CShellPage::DrawListText(text, dc, rect, list, colour);
}

std::string CMoviePage::SkinFile(const char* name) {
  std::string application;
  m_files.MakeSkinPath(application);
  return ResolveSkinPath(application + SkinNameToPosix(name));
}

int CMoviePage::DrawListItemText(int list, int item, plat::HDC dc, plat::COLORREF colour, int state) {
  std::string listName;
  if (!Layout() || !Layout()->GetListName(listName, list) || listName != kDriveList)
    return CShellPage::DrawListItemText(list, item, dc, colour, state);
  CMovieConfig* movie = Movie();
  int index = -1;
  if (!movie || !ElementIndex().RowToItem(list, item, &index) || index < 0 ||
      index >= static_cast<int>(movie->m_arrDrives.size()))
    return 0;
  const MovieDriveEntry& drive = movie->m_arrDrives[static_cast<std::size_t>(index)];
  plat::RECT tile{};
  if (!GetListItemScreenRect(item, list, &tile)) return 0;
  const char* icon = drive.nMediaKind >= 2 && drive.nMediaKind <= 5   ? "Layout\\Img\\Common\\sub-cdromvcd.BMP"
                     : drive.nMediaKind >= 6 && drive.nMediaKind <= 7 ? "Layout\\Img\\Common\\sub-cdromdvd.BMP"
                                                                     : nullptr;
  if (icon) {
    // The icon sits centred in the tile's upper part, at its own size scaled like the tile.
    const int size = (tile.right - tile.left) * 2 / 5;
    const int left = (tile.left + tile.right - size) / 2;
    const int top = tile.top + (tile.bottom - tile.top) / 8;
    const int frame = FocusedList() == list && FocusedEntry() == EntryOf(list, ENTRY_ITEM, item) && state == 0
                          ? 1
                          : DriveItemState(state);
    DrawStateImage(SkinFile(icon), frame, dc, plat::RECT{left, top, left + size, top + size});
  }
  plat::RECT text{};
  if (!GetListItemTextScreenRect(item, list, &text)) return 1;
  std::string label;
  GetShellDisplayName(drive.strRoot, label);
  if (movie->m_nMoviePageState == 4 && drive.strRoot == movie->m_strDriveRoot)
    label += "\n\n" + UIStringOrEmpty("NOWPLAYING");
  DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, label, ALIGN_MULTIPLELINECENTERTOP, colour,
                          SKIN_FIT_ELLIPSIS);
  return 1;
}
