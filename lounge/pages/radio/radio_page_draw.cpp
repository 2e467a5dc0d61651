// CRadioPage: what the rows, value texts, the current-schedule button, the
// RDS block and the signal bar show, all from the Radio section. Names,
// words in capitals and units are string-table keys.
#include <algorithm>
#include <cstdio>
#include <vector>
#include <ctime>
#include <string>

#include "corebridge/core/civil_time.h"
#include "corebridge/core/config.h"
#include "corebridge/core/radio_config.h"
#include "corebridge/core/schedule_item.h"
#include "corebridge/core/schedule_list.h"
#include "engines/playback/wmhost/library/tag_reader.h"
#include "lounge/pages/common/file_paths.h"
#include "lounge/pages/common/shell_files.h"
#include "lounge/pages/radio/radio_frequency_text.h"
#include "lounge/pages/radio/radio_programme_type.h"
#include "lounge/shell/shell_frame.h"
#include "lounge/pages/radio/radio_page.h"
#include "lounge/pages/radio/radio_schedule_text.h"
#include "lounge/shell/app_services.h"
#include "lounge/skin/layout_reader.h"
#include "lounge/skin/page_element_index.h"
#include "lounge/skin/skin_bitmaps.h"
#include "lounge/skin/skin_paths.h"
#include "lounge/skin/skin_text.h"
#include "platform/core/file_time.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr plat::COLORREF kWhite = 0xFFFFFF;
constexpr const char* kAerial = "Layout\\Img\\Radio\\aerial.bmp";
constexpr const char* kChecked = "Layout\\Img\\Music\\st_check.BMP";
constexpr const char* kUnchecked = "Layout\\Img\\Music\\st_uncheck.BMP";
constexpr const char* kScheduleTitle = "Radio ScheduleTitle";

// The RDS list_texts and the frequency, redrawn by DrawRadioText.
constexpr const char* kLiveTexts[] = {"RadioTxt TopStationName Text", "RadioTxt StationName Text",
                                      "RadioTxt StationType Text",    "RadioTxt CurrentDateTime Text",
                                      "RadioTxt RadioText Text",      "Radio Frequency Text",
                                      "Radio SignalLevel Position",   "Radio Autoscan Progress Text"};

// RDS fills its fields to their length with spaces (a station name always
// has eight characters): the padding would push a centred text aside.
std::string WithoutPadding(const std::string& text) {
  const auto end = text.find_last_not_of(" \r");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// Row templates: the page moves them into each row; never drawn where they lie.
bool IsRowTemplate(const std::string& name) {
  return name == "Radio Title Position" || name == "Radio Duration Position" ||
         name == "Radio Station PresetId Position" || name == "Radio Station Frequency Position" ||
         name == "Radio Station Name Position" || name == "Radio InputFrequency Position";
}

std::string At(const char* const* names, int count, int i) {
  return i >= 0 && i < count ? names[i] : "";
}

bool IsEmpty(const plat::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The local date and time of a file time.
plat::SYSTEMTIME LocalTimeOf(std::uint64_t ticks) {
  constexpr std::int64_t kUnixEpochSeconds = 11644473600;
  const std::time_t seconds = static_cast<std::time_t>(static_cast<std::int64_t>(ticks / 10000000) - kUnixEpochSeconds);
  std::tm tm{};
  plat::SYSTEMTIME t{};
  if (!localtime_r(&seconds, &tm)) return t;
  t.wYear = static_cast<plat::WORD>(tm.tm_year + 1900);
  t.wMonth = static_cast<plat::WORD>(tm.tm_mon + 1);
  t.wDay = static_cast<plat::WORD>(tm.tm_mday);
  t.wHour = static_cast<plat::WORD>(tm.tm_hour);
  t.wMinute = static_cast<plat::WORD>(tm.tm_min);
  t.wSecond = static_cast<plat::WORD>(tm.tm_sec);
  return t;
}

}  // namespace

std::string CRadioPage::SkinFile(const std::string& relative) {
  std::string application;
  m_recordings->MakeSkinPath(application);
  return ResolveSkinPath(application + SkinNameToPosix(relative));
}

std::string CRadioPage::CurrentScheduleText() {
  const CRadioConfig* radio = Radio();
  const CScheduleList* list = Schedules();
  if (!radio || !radio->m_pEditSchedule) return {};
  const plat::SYSTEMTIME now = list ? list->Clock().Now() : SystemLocalClock().Now();
  return radio_text::ScheduleText(*radio->m_pEditSchedule, false, now, m_locale,
                                  [this](const std::string& key) { return Lookup(key); });
}

std::string CRadioPage::ValueText(const std::string& name) {
  const CRadioConfig* radio = Radio();
  if (!radio) return {};
  const std::string& point = m_locale.DecimalPoint();
  const std::string mhz = Lookup("RADIO_MHZ");
  const std::string khz = Lookup("RADIO_KHZ");
  const int band = radio->m_nCurBand;
  const int fine = band == RADIO_BAND_AM ? radio->m_nAMFineTuneScale : radio->m_nFMFineTuneScale;
  if (name == "Radio Finetune Down Text") return radio_text::FineTune('-', band, fine, point, mhz, khz);
  if (name == "Radio Finetune Up Text") return radio_text::FineTune('+', band, fine, point, mhz, khz);
  if (name == "Radio Frequency Text") {
    const int current = band == RADIO_BAND_AM ? radio->m_nCurAMFrequency : radio->m_nCurFMFrequency;
    return radio_text::WithUnit(band, current, point, mhz, khz);
  }
  if (name == "Radio Source Text" || name == "Radio LineIn Text") {
    if (!radio->m_pProfiles1) return {};
    const auto& sources = radio->m_pProfiles1->m_profiles;
    const int i = radio->m_nSourceDevice;
    if (i < 0 || i >= static_cast<int>(sources.size())) return {};
    const CAudioProfile& source = sources[static_cast<std::size_t>(i)];
    return name == "Radio Source Text" ? source.m_strName : LineInText(source, radio->m_nSourceLine);
  }
  static constexpr const char* kAreas[] = {"OTHERS", "USA", "JAPAN"};
  static constexpr const char* kPrecisions[] = {"LOW", "NORMAL", "HIGH"};
  static constexpr const char* kFormats[] = {"WAV", "MP3", "WMA32K", "WMA64K", "WMA128K"};
  static constexpr const char* kTargets[] = {"HARDDISK"};
  static constexpr const char* kDiscFormats[] = {"MP3CD", "AUDIOCD"};
  auto keyed = [this](const std::string& key) { return key.empty() ? key : Lookup(key); };
  if (name == "Radio Area Text") return keyed(At(kAreas, 3, radio->m_nCurArea - 1));
  if (name == "Radio ScanPrecision Text") return keyed(At(kPrecisions, 3, radio->m_nScanPrecision));
  if (name == "Radio FMFinetunescale Text")
    return radio_text::Scale(RADIO_BAND_FM, radio->m_nFMFineTuneScale, point, mhz, khz);
  if (name == "Radio FMScanfreqscale Text")
    return radio_text::Scale(RADIO_BAND_FM, radio->m_nFMAutoScanScale, point, mhz, khz);
  if (name == "Radio AMFinetunescale Text")
    return radio_text::Scale(RADIO_BAND_AM, radio->m_nAMFineTuneScale, point, mhz, khz);
  if (name == "Radio AMScanfreqscale Text")
    return radio_text::Scale(RADIO_BAND_AM, radio->m_nAMAutoScanScale, point, mhz, khz);
  if (name == "Radio RecordFormat Text") return keyed(At(kFormats, 5, radio->m_nRecordFormat));
  if (name == "Radio RecordTo Text") return keyed(At(kTargets, 1, radio->m_nRecordTo));
  if (name == "Radio RecordDiscFormat Text") return keyed(At(kDiscFormats, 2, radio->m_nRecordDiscFormat));
  if (name == "Radio Autoscan Progress Text")
    return radio->m_nRecordState == RADIO_SCANNING ? std::to_string(radio->m_nScanProgress) + "%" : std::string();
  if (name == "RadioTxt TopStationName Text" || name == "RadioTxt StationName Text")
    return WithoutPadding(radio->m_strRdsStation);
  if (name == "RadioTxt StationType Text") return radio_text::ProgrammeTypeName(WithoutPadding(radio->m_strRdsType));
  if (name == "RadioTxt CurrentDateTime Text") return WithoutPadding(radio->m_strRdsDateTime);
  if (name == "RadioTxt RadioText Text") return WithoutPadding(radio->m_strRdsText);
  if (name == "Radio ConfirmSchedule Status Text") return m_confirmStatus;
  if (name == "Radio Active FileName Text" || name == "Radio Active FileDate Text") {
    const int i = radio->m_nCurRecorded;
    if (i < 0 || i >= static_cast<int>(radio->m_recordedFiles.size())) return {};
    const RadioRecordedFile& file = radio->m_recordedFiles[static_cast<std::size_t>(i)];
    if (name == "Radio Active FileName Text") return std::string(file_list::FileNamePart(file.strPath));
    return m_locale.FormatTime("%b %d, %Y", LocalTimeOf(file.ftLastWrite));
  }
  if (name == "Rename Source EditText") {
    int index = -1;
    if (radio->m_nPrevPage == RADIO_ID_GENERAL_STATIONS) index = radio->m_nSelectedStation;
    if (radio->m_nPrevPage == RADIO_ID_FAVORITES) index = StationOfPreset(radio->m_nSelectedStation);
    RadioStation station;
    return index >= 0 && radio->GetRadioStation(index, station, RADIO_BAND_CURRENT) ? station.strName : std::string();
  }
  // The schedule being edited.
  if (name.compare(0, 10, "Radio Sch ") != 0 || !radio->m_pEditSchedule) return {};
  const CScheduleItem& schedule = *radio->m_pEditSchedule;
  if (name == "Radio Sch SelectRadioStation Text") {
    const int frequency = schedule.GetRadioFrequency();
    return radio_text::WithUnit(radio_text::ScheduleBand(frequency), frequency, point, mhz, khz);
  }
  if (name == "Radio Sch RepeatMode Text") return keyed(radio_text::RepeatKey(schedule.GetRepeatMode()));
  const CScheduleList* list = Schedules();
  const plat::SYSTEMTIME now = list ? list->Clock().Now() : SystemLocalClock().Now();
  const plat::SYSTEMTIME start = schedule.GetNextStart(now);
  plat::SYSTEMTIME end = start;
  if (const auto seconds = civil_time::ToSeconds(start))
    end = civil_time::FromSeconds(*seconds + std::int64_t{schedule.GetDuration()} * 60);
  const char* hour = Vendor() == 4 ? "%H00" : "%I";
  if (name == "Radio Sch BeginDate Text") return m_locale.FormatTime("%b %d, %y", start);
  if (name == "Radio Sch StartTime Hour Text") return m_locale.FormatTime(hour, start);
  if (name == "Radio Sch StartTime Minute Text") return m_locale.FormatTime("%M", start);
  if (name == "Radio Sch StartTime APM Text") return m_locale.FormatTime("%p", start);
  if (name == "Radio Sch EndTime Hour Text") return m_locale.FormatTime(hour, end);
  if (name == "Radio Sch EndTime Minute Text") return m_locale.FormatTime("%M", end);
  if (name == "Radio Sch EndTime APM Text") return m_locale.FormatTime("%p", end);
  return {};
}

std::string CRadioPage::RowText(int item) {
  const CRadioConfig* radio = Radio();
  if (!radio || item < 0) return {};
  char prefix[16];
  switch (radio->m_nPage) {
    case RADIO_ID_MAIN:
    case RADIO_ID_FREQUENCY_SETTING:
    case RADIO_ID_MAIN_STATIONS: {
      const int index = radio->m_nPage == RADIO_ID_MAIN_STATIONS ? StationOfPreset(item) : item;
      RadioStation station;
      if (index < 0 || !radio->GetRadioStation(index, station, RADIO_BAND_CURRENT)) return {};
      std::snprintf(prefix, sizeof prefix, "%2d. ", item + 1);
      return prefix + station.strName;
    }
    case RADIO_ID_SCHEDULES:
    case RADIO_ID_SCHEDULE_HISTORY:
    case RADIO_ID_CONFLICTS: {
      CScheduleItem schedule;
      if (!ScheduleOfRow(item, schedule)) return {};
      const CScheduleList* list = Schedules();
      const plat::SYSTEMTIME now = list ? list->Clock().Now() : SystemLocalClock().Now();
      return radio_text::ScheduleText(schedule, radio->m_nPage == RADIO_ID_CONFLICTS, now, m_locale,
                                      [this](const std::string& key) { return Lookup(key); });
    }
    default: return {};
  }
}

std::string CRadioPage::StationRowText(int item, const std::string& name) {
  const CRadioConfig* radio = Radio();
  const int index = StationIndexOfItem(item);
  RadioStation station;
  if (!radio || index < 0 || !radio->GetRadioStation(index, station, RADIO_BAND_CURRENT)) return {};
  if (name == "Radio Station PresetId Position") return std::to_string(item + 1);
  if (name == "Radio Station Frequency Position")
    return radio_text::Number(radio->m_nCurBand, station.nFrequency, m_locale.DecimalPoint());
  if (name == "Radio Station Name Position") return station.strName;
  return {};
}

// ---- drawing hooks ----

int CRadioPage::DrawButton(int i, plat::HDC dc, const plat::RECT& rect) {
  const int drawn = CSkinPage::DrawButton(i, dc, rect);
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Buttons().size()) ||
      layout->Buttons()[static_cast<std::size_t>(i)].action != "Radio CurrentSettingSchedule")
    return drawn;
  const std::string text = CurrentScheduleText();
  if (!text.empty())
    DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, ALIGN_LEFT, kWhite,
                            SKIN_FIT_ELLIPSIS);
  return drawn;
}

int CRadioPage::DrawTextElement(int i, plat::HDC dc, const plat::RECT& rect, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  if (!layout || i < 0 || i >= static_cast<int>(layout->Texts().size()))
    return CSkinPage::DrawTextElement(i, dc, rect, colour);
  const LayoutText& element = layout->Texts()[static_cast<std::size_t>(i)];
  const std::string text = ValueText(element.name);
  if (text.empty()) return CSkinPage::DrawTextElement(i, dc, rect, colour);
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, text, element.align, colour,
                          SKIN_FIT_ELLIPSIS);
  return 1;
}

int CRadioPage::DrawListItem(int item, plat::HDC dc, const plat::RECT& rect, int list) {
  const int drawn = CSkinPage::DrawListItem(item, dc, rect, list);
  const CRadioConfig* radio = Radio();
  if (!radio || list < 0 || list != DisplayList()) return drawn;
  const int index = ItemOfRow(item);
  if (index < 0) return drawn;
  plat::RECT text{};
  GetListItemTextScreenRect(item, list, &text);
  if (IsEmpty(text)) text = rect;
  plat::COLORREF colour = kWhite;
  const int page = radio->m_nPage;
  if (page == RADIO_ID_RECORDED || page == RADIO_ID_BURN) {
    FileListDrawRecord record;
    record.index = index;
    record.text = text;
    GetListItemIconScreenRect(item, list, &record.icon);
    record.dc = dc;
    record.textColour = record.secondColour = colour;
    m_recordings->DrawEntry(record);
    return 1;
  }
  if (page == RADIO_ID_GENERAL_STATIONS || page == RADIO_ID_FAVORITES) {
    const CLayoutList& layoutList = Layout()->Lists()[static_cast<std::size_t>(list)];
    for (int j = 0; j < static_cast<int>(layoutList.texts.size()); ++j) {
      const LayoutText& element = layoutList.texts[static_cast<std::size_t>(j)];
      const std::string value = StationRowText(index, element.name);
      plat::RECT r{};
      if (value.empty() || !GetListTextScreenRect(j, list, &r)) continue;
      // The template lies in the first row: moved to this row's height.
      r.top = text.top;
      r.bottom = text.bottom;
      DrawSkinTextDefaultFont(dc, r.left, r.top, r.right, r.bottom, value, element.align, colour, SKIN_FIT_ELLIPSIS);
    }
    return 1;
  }
  const std::string value = RowText(index);
  if (value.empty()) return drawn;
  DrawSkinTextDefaultFont(dc, text.left, text.top, text.right, text.bottom, value, ALIGN_LEFT, colour,
                          SKIN_FIT_ELLIPSIS);
  return 1;
}

int CRadioPage::DrawListText(int text, plat::HDC dc, const plat::RECT& rect, int list, plat::COLORREF colour) {
  const CLayoutReader* layout = Layout();
  const CRadioConfig* radio = Radio();
  if (!layout || list < 0 || list >= static_cast<int>(layout->Lists().size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const CLayoutList& layoutList = layout->Lists()[static_cast<std::size_t>(list)];
  if (text < 0 || text >= static_cast<int>(layoutList.texts.size()))
    return CSkinPage::DrawListText(text, dc, rect, list, colour);
  const LayoutText& element = layoutList.texts[static_cast<std::size_t>(text)];
  const std::string& name = element.name;
  if (IsRowTemplate(name)) return 1;
  if (!radio) return 0;
  if (name == "Radio SignalLevel Position") {
    DrawSignalBar(dc, rect, radio->m_nSignalLevel);
    return 1;
  }
  if (name.compare(0, std::char_traits<char>::length(kScheduleTitle), kScheduleTitle) == 0) {
    // "Radio ScheduleTitleN Text": the frequency of the schedule in row N.
    const int slot = name.size() > 20 ? name[19] - '1' : -1;
    CScheduleItem schedule;
    if (slot < 0 || slot > 8 || !ScheduleOfRow(ItemOfRow(slot), schedule)) return 1;
    const std::string value = radio_text::ScheduleFrequency(schedule.GetRadioFrequency(), m_locale.DecimalPoint(),
                                                            Lookup("RADIO_MHZ"), Lookup("RADIO_KHZ"));
    DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, value, element.align, colour,
                            SKIN_FIT_ELLIPSIS);
    return 1;
  }
  const bool rds = name.compare(0, 9, "RadioTxt ") == 0;
  const std::string value = ValueText(name);
  if (value.empty()) return rds ? 1 : CSkinPage::DrawListText(text, dc, rect, list, colour);
  int align = element.align;
  if (name == "RadioTxt TopStationName Text") align = ALIGN_CENTER;
  if (name == "RadioTxt RadioText Text") align = ALIGN_MULTIPLELINETOP;
  DrawSkinTextDefaultFont(dc, rect.left, rect.top, rect.right, rect.bottom, value, align, rds ? kWhite : colour,
                          SKIN_FIT_ELLIPSIS);
  return 1;
}

plat::RECT CRadioPage::SignalBarRect(const plat::RECT& bar, int level) {
  const int clamped = level < 0 ? 0 : level > 5 ? 5 : level;
  plat::RECT filled = bar;
  filled.right = bar.left + (bar.right - bar.left) * clamped / 5;
  return filled;
}

void CRadioPage::DrawSignalBar(plat::HDC dc, const plat::RECT& rect, int level) {
  const plat::RECT filled = SignalBarRect(rect, level);
  if (IsEmpty(filled)) return;
  // The bitmap is stretched over the whole bar and shown up to the level.
  const BitmapPtr bitmap(LoadSharedBitmapFile(SkinFile(kAerial)));
  int width = 0, height = 0;
  if (!bitmap || !GetBitmapSize(bitmap.get(), width, height)) return;
  MemoryDC source;
  if (!source.SelectBitmap(bitmap.get())) return;
  const int barWidth = rect.right - rect.left;
  const int sourceWidth = barWidth > 0 ? width * (filled.right - filled.left) / barWidth : 0;
  plat::SetStretchBltMode(dc, plat::HALFTONE);
  plat::StretchBlt(dc, filled.left, filled.top, filled.right - filled.left, filled.bottom - filled.top, source.get(), 0,
                   0, sourceWidth, height, plat::SRCCOPY);
}

plat::HBITMAP CRadioPage::PageBackground(plat::HDC dc) {
  std::string path;
  const CLayoutReader* layout = Layout();
  if (!layout || !layout->GetBackgroundImage(path)) return nullptr;
  const plat::RECT& buffer = BackBufferRect();
  if (buffer.right <= 0 || buffer.bottom <= 0) return nullptr;
  const std::string key = path + "|" + std::to_string(buffer.right) + "x" + std::to_string(buffer.bottom);
  if (key != m_backgroundKey || !m_background) {
    m_background.reset();
    m_backgroundKey.clear();
    BitmapPtr page(plat::CreateCompatibleBitmap(dc, buffer.right, buffer.bottom));
    {
      MemoryDC whole;
      if (!whole || !page || !whole.SelectBitmap(page.get()) || !DrawBitmapFile(path, whole.get(), buffer))
        return nullptr;
    }
    m_background = std::move(page);
    m_backgroundKey = key;
  }
  return m_background.get();
}

int CRadioPage::DrawBackground(plat::HDC dc) {
  const plat::HBITMAP background = PageBackground(dc);
  MemoryDC source;
  if (!background || !source || !source.SelectBitmap(background)) return CShellPage::DrawBackground(dc);
  const plat::RECT& buffer = BackBufferRect();
  return plat::BitBlt(dc, 0, 0, buffer.right, buffer.bottom, source.get(), 0, 0, plat::SRCCOPY) ? 1 : 0;
}

void CRadioPage::DrawBackgroundPart(plat::HDC dc, const plat::RECT& rect) {
  const plat::HBITMAP background = PageBackground(dc);
  MemoryDC source;
  if (!background || !source || !source.SelectBitmap(background)) return;
  plat::BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(), rect.left,
               rect.top, plat::SRCCOPY);
}

int CRadioPage::DrawRadioText() {
  const int list = DisplayList();
  if (list < 0 || !BackBuffer() || !Radio()) return 0;
  for (const char* name : kLiveTexts) {
    int text = -1;
    plat::RECT rect{};
    if (!Layout()->FindListText(name, text, list) || !GetListTextScreenRect(text, list, &rect)) continue;
    RefreshArea(true, rect, list, [&](plat::HDC dc) { DrawBackgroundPart(dc, rect); });
  }
  // The bar shows the frequency too: it follows each step of a seek.
  Frame().RefreshPlaybackBarText("Radio Frequency Text");
  return 1;
}

// ---- recording rows ----

double CRadioPage::RecordedSeconds(const std::string& path, std::uint64_t lastWrite) {
  if (path.empty()) return -1.0;
  const auto known = m_lengths.find(path);
  if (known != m_lengths.end() && known->second.lastWrite == lastWrite) return known->second.seconds;
  const auto tags = wmhost::ReadAudioTags(file_list::ResolveDrivePath(path));
  const double seconds = tags ? tags->duration : -1.0;
  m_lengths[path] = {lastWrite, seconds};
  return seconds;
}

int CRadioPage::DrawFileText(int, int fileIndex, const plat::RECT& text, plat::HDC dc, plat::COLORREF colour) {
  const CRadioConfig* radio = Radio();
  const int list = DisplayList();
  if (!radio || list < 0 || fileIndex < 0 || fileIndex >= static_cast<int>(radio->m_recordedFiles.size())) return 0;
  const RadioRecordedFile& file = radio->m_recordedFiles[static_cast<std::size_t>(fileIndex)];
  const bool burn = radio->m_nPage == RADIO_ID_BURN;
  std::string title(file_list::FileNamePart(file.strPath.empty() ? file.strText3 : file.strPath));
  if (!burn) title = radio_text::RecordFileTitle(title);
  int j = -1;
  plat::RECT r{};
  if (Layout()->FindListText("Radio Title Position", j, list) && GetListTextScreenRect(j, list, &r)) {
    r.top = text.top;
    r.bottom = text.bottom;
  } else {
    r = text;
  }
  DrawSkinTextDefaultFont(dc, r.left, r.top, r.right, r.bottom, title, ALIGN_LEFT, colour, SKIN_FIT_ELLIPSIS);
  plat::RECT d{};
  if (Layout()->FindListText("Radio Duration Position", j, list) && GetListTextScreenRect(j, list, &d)) {
    const double seconds = RecordedSeconds(file.strPath, file.ftLastWrite);
    d.top = text.top;
    d.bottom = text.bottom;
    if (seconds >= 0)
      DrawSkinTextDefaultFont(dc, d.left, d.top, d.right, d.bottom, FormatDuration(seconds),
                              Layout()->Lists()[static_cast<std::size_t>(list)].texts[static_cast<std::size_t>(j)].align,
                              colour, SKIN_FIT_ELLIPSIS);
  }
  if (burn) {
    // The check box sits in the check rectangle of the row showing the file.
    const int item = fileIndex + m_recordings->GetFolderCount() + (m_recordings->GetShowUpLevel() ? 1 : 0);
    int row = -1;
    plat::RECT check{};
    if (ElementIndex().ItemToRow(list, item, &row) && row >= 0 && GetListItemCheckScreenRect(row, list, &check) &&
        !IsEmpty(check))
      DrawBitmapFile(SkinFile(file.nFlag ? kChecked : kUnchecked), dc, check);
  }
  return 1;
}
