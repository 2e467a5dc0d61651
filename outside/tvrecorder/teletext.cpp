#include "outside/tvrecorder/teletext.h"

#include <libzvbi.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>

namespace tvrec {

namespace {

constexpr int kLinesPerField = 16;
constexpr int kFirstLine = 7;

std::uint8_t Ham(unsigned nibble) { return static_cast<std::uint8_t>(vbi_ham8(nibble & 15)); }
std::uint8_t Odd(char c) {
  const auto u = static_cast<unsigned char>(c);
  return static_cast<std::uint8_t>(vbi_par8(u < 0x20 || u > 0x7e ? ' ' : u));
}

// The address bytes: magazine (1..8, coded 0 for 8) and packet number.
void Address(TeletextPacket& p, int page, int row) {
  const int magazine = (page / 100) & 7;
  p.push_back(Ham(static_cast<unsigned>(magazine | ((row & 1) << 3))));
  p.push_back(Ham(static_cast<unsigned>(row >> 1)));
}

void Text(TeletextPacket& p, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) p.push_back(Odd(i < text.size() ? text[i] : ' '));
}

std::string Fit(std::string s, std::size_t width) {
  s.resize(width, ' ');
  return s;
}

}  // namespace

TeletextPacket TeletextHeader(int page, const std::string& text, int subcode) {
  TeletextPacket p;
  p.reserve(42);
  Address(p, page, 0);
  const int tens = (page / 10) % 10;
  const int units = page % 10;
  p.push_back(Ham(static_cast<unsigned>(units)));
  p.push_back(Ham(static_cast<unsigned>(tens)));
  // Sub-code S1 (units), S2 (tens, 3 bits) with C4 (erase page) set, S3 and
  // S4 zero; C11 (serial magazines) set.
  subcode = std::clamp(subcode, 0, 79);
  p.push_back(Ham(static_cast<unsigned>(subcode % 10)));
  p.push_back(Ham(static_cast<unsigned>(subcode / 10) | 0x8));
  p.push_back(Ham(0));
  p.push_back(Ham(0));
  p.push_back(Ham(0));
  p.push_back(Ham(0x1));
  Text(p, text, 32);
  return p;
}

TeletextPacket TeletextRow(int page, int row, const std::string& text) {
  TeletextPacket p;
  p.reserve(42);
  Address(p, page, row);
  Text(p, text, 40);
  return p;
}

TeletextPacket TeletextLinks(int page, const int (&links)[4]) {
  TeletextPacket p;
  p.reserve(42);
  Address(p, page, 27);
  p.push_back(Ham(0));  // designation 0: editorial links
  const int magazine = (page / 100) & 7;
  for (int i = 0; i < 6; ++i) {
    // Links 4 and 5 (index and spare) point nowhere: page FF.
    const int target = i < 4 ? links[i] : 0;
    const int units = i < 4 ? target % 10 : 15;
    const int tens = i < 4 ? (target / 10) % 10 : 15;
    // The magazine is sent relative to this page's.
    const int relative = i < 4 ? (((target / 100) & 7) ^ magazine) : 0;
    p.push_back(Ham(static_cast<unsigned>(units)));
    p.push_back(Ham(static_cast<unsigned>(tens)));
    p.push_back(Ham(0xF));                                              // any sub-page
    p.push_back(Ham(static_cast<unsigned>(0x7 | ((relative & 1) << 3))));
    p.push_back(Ham(0xF));
    p.push_back(Ham(static_cast<unsigned>(0x3 | ((relative >> 1) << 2))));
  }
  p.push_back(Ham(0x8));  // link control: show row 24
  p.push_back(0);
  p.push_back(0);
  return p;
}

std::vector<TeletextPacket> StationPages(const std::string& station, const std::string& date,
                                         const std::string& time, int cycle) {
  std::vector<TeletextPacket> out;
  const std::string name = station.substr(0, 20);
  auto page = [&](int number, const std::vector<std::string>& rows, int subcode = 0) {
    out.push_back(TeletextHeader(number, Fit(" " + std::to_string(number) + " " + name, 23) + " " + time, subcode));
    for (std::size_t r = 0; r < rows.size() && r < 23; ++r) {
      out.push_back(TeletextRow(number, static_cast<int>(r) + 1, rows[r]));
    }
    // Red back, green on, yellow and blue to the news and the index.
    const int links[4] = {number == 100 ? 103 : number - 1, number == 103 ? 100 : number + 1, 101, 100};
    out.push_back(TeletextLinks(number, links));
  };
  page(100, {"", " " + name, " Teletext", "", " " + date + "  " + time, "", " 101 News", " 102 Weather",
             " 103 Programmes"});
  page(101, {"", " " + name + " News", "", " The virtual tuner is on the air."});
  page(102, {"", " " + name + " Weather", "", " Clear skies over the test card."});
  const char* programmes[] = {" Test picture all day.", " Test tone on the hour.", " Close down at midnight."};
  // As broadcasters do, a page's sub-pages take turns, one a cycle.
  const int sub = cycle % 3 + 1;
  page(103, {"", " " + name + " Programmes " + std::to_string(sub) + "/3", "", programmes[sub - 1]}, sub);
  return out;
}

TeletextDecoder::TeletextDecoder() : decoder_(vbi_decoder_new()) {
  // Without a page handler the decoder caches nothing.
  if (decoder_) vbi_event_handler_register(decoder_, VBI_EVENT_TTX_PAGE, &TeletextDecoder::OnPage, this);
}

TeletextDecoder::~TeletextDecoder() {
  if (decoder_) vbi_decoder_delete(decoder_);
}

// Called inside vbi_decode, with the decoder's lock held by Feed.
void TeletextDecoder::OnPage(vbi_event* event, void* self) {
  auto* decoder = static_cast<TeletextDecoder*>(self);
  ++decoder->pages_;
  const int page = vbi_bcd2dec(static_cast<unsigned>(event->ev.ttx_page.pgno));
  const int subcode = vbi_bcd2dec(static_cast<unsigned>(event->ev.ttx_page.subno & 0xFF));
  decoder->subPages_[page].insert(subcode);
}

void TeletextDecoder::Feed(const std::vector<TeletextPacket>& lines, double seconds) {
  std::vector<vbi_sliced> sliced;
  int line = kFirstLine;
  for (const TeletextPacket& p : lines) {
    vbi_sliced s{};
    s.id = VBI_SLICED_TELETEXT_B;
    s.line = static_cast<std::uint32_t>(line++);
    std::copy(p.begin(), p.begin() + std::min<std::size_t>(p.size(), 42), s.data);
    sliced.push_back(s);
  }
  std::lock_guard lock(mutex_);
  if (decoder_ && !sliced.empty()) vbi_decode(decoder_, sliced.data(), static_cast<int>(sliced.size()), seconds);
}

// A new decoder: the old one would only forget its pages at its next line.
void TeletextDecoder::Reset() {
  std::lock_guard lock(mutex_);
  if (decoder_) vbi_decoder_delete(decoder_);
  decoder_ = vbi_decoder_new();
  if (decoder_) vbi_event_handler_register(decoder_, VBI_EVENT_TTX_PAGE, &TeletextDecoder::OnPage, this);
  pages_ = 0;
  subPages_.clear();
}

std::vector<int> TeletextDecoder::SubPages(int page) const {
  std::lock_guard lock(mutex_);
  const auto it = subPages_.find(page);
  return it == subPages_.end() ? std::vector<int>{} : std::vector<int>(it->second.begin(), it->second.end());
}

namespace {

int SubnoOf(int subcode) {
  return subcode < 0 ? VBI_ANY_SUBNO : static_cast<int>(vbi_dec2bcd(static_cast<unsigned>(subcode)));
}

}  // namespace

int TeletextDecoder::pagesReceived() const {
  std::lock_guard lock(mutex_);
  return pages_;
}

bool TeletextDecoder::Has(int page) const {
  std::lock_guard lock(mutex_);
  vbi_page pg;
  if (!decoder_ || !vbi_fetch_vt_page(decoder_, &pg, vbi_dec2bcd(static_cast<unsigned>(page)), VBI_ANY_SUBNO,
                                      VBI_WST_LEVEL_1p5, 25, FALSE)) {
    return false;
  }
  vbi_unref_page(&pg);
  return true;
}

std::string TeletextDecoder::Text(int page, int subcode) const {
  std::lock_guard lock(mutex_);
  vbi_page pg;
  if (!decoder_ || !vbi_fetch_vt_page(decoder_, &pg, vbi_dec2bcd(static_cast<unsigned>(page)), SubnoOf(subcode),
                                      VBI_WST_LEVEL_1p5, 25, FALSE)) {
    return {};
  }
  std::vector<char> buffer(25 * 41 * 4 + 1);
  const int n = vbi_print_page(&pg, buffer.data(), static_cast<int>(buffer.size()) - 1, "UTF-8", TRUE, TRUE);
  vbi_unref_page(&pg);
  return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool TeletextDecoder::Save(int page, const std::string& path, int format, int subcode) const {
  if (format == 2) {
    // RTF: the page's text in a fixed-width font, one paragraph a row.
    const std::string text = Text(page, subcode);
    if (text.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20\n";
    for (const char c : text) {
      if (c == '\n') out << "\\par\n";
      else if (c == '\\' || c == '{' || c == '}') out << '\\' << c;
      else if (static_cast<unsigned char>(c) < 0x80) out << c;
      else out << '?';
    }
    out << "}\n";
    return static_cast<bool>(out);
  }
  if (format != 0 && format != 1) return false;
  std::lock_guard lock(mutex_);
  vbi_page pg;
  if (!decoder_ || !vbi_fetch_vt_page(decoder_, &pg, vbi_dec2bcd(static_cast<unsigned>(page)), SubnoOf(subcode),
                                      VBI_WST_LEVEL_1p5, 25, FALSE)) {
    return false;
  }
  char* error = nullptr;
  vbi_export* e = vbi_export_new(format == 0 ? "text" : "html", &error);
  if (error) std::free(error);
  bool ok = false;
  if (e) {
    ok = vbi_export_file(e, path.c_str(), &pg);
    vbi_export_delete(e);
  }
  vbi_unref_page(&pg);
  return ok;
}

int TeletextDecoder::Link(int page, int key) const {
  if (key < 0 || key > 3) return 0;
  std::lock_guard lock(mutex_);
  vbi_page pg;
  if (!decoder_ || !vbi_fetch_vt_page(decoder_, &pg, vbi_dec2bcd(static_cast<unsigned>(page)), VBI_ANY_SUBNO,
                                      VBI_WST_LEVEL_1p5, 25, TRUE)) {
    return 0;
  }
  const int bcd = pg.nav_link[key].pgno;
  vbi_unref_page(&pg);
  if (bcd < 0x100 || bcd > 0x899) return 0;
  return vbi_bcd2dec(static_cast<unsigned>(bcd));
}

bool TeletextDecoder::Draw(int page, std::vector<std::uint32_t>& rgba, int& width, int& height, int subcode) const {
  std::lock_guard lock(mutex_);
  vbi_page pg;
  if (!decoder_ || !vbi_fetch_vt_page(decoder_, &pg, vbi_dec2bcd(static_cast<unsigned>(page)), SubnoOf(subcode),
                                      VBI_WST_LEVEL_1p5, 25, FALSE)) {
    return false;
  }
  width = pg.columns * 12;
  height = pg.rows * 10;
  rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  vbi_draw_vt_page_region(&pg, VBI_PIXFMT_RGBA32_LE, rgba.data(), -1, 0, 0, pg.columns, pg.rows, FALSE, TRUE);
  vbi_unref_page(&pg);
  return true;
}

void TeletextFeeder::Restart() {
  std::lock_guard lock(mutex_);
  cycle_.clear();
  next_ = 0;
}

void TeletextFeeder::NextField(const std::string& station, double seconds) {
  std::vector<TeletextPacket> field;
  {
    std::lock_guard lock(mutex_);
    if (next_ >= cycle_.size()) {
      // A new cycle with the time of now.
      const std::time_t now = std::time(nullptr);
      std::tm tm{};
      ::localtime_r(&now, &tm);
      char date[16];
      char clock[16];
      std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
      std::strftime(clock, sizeof clock, "%H:%M:%S", &tm);
      cycle_ = StationPages(station, date, clock, cycles_++);
      next_ = 0;
    }
    for (int i = 0; i < kLinesPerField && next_ < cycle_.size(); ++i) field.push_back(cycle_[next_++]);
  }
  decoder_->Feed(field, seconds);
}

}  // namespace tvrec
