// Teletext: a decoder (libzvbi) that sliced Teletext-B lines are fed into,
// and, for the virtual tuner's stations, an encoder that makes those lines:
// page 100 with the station's name and the time, pages 101-103 with text
// (103 in three sub-pages).
// Lines are Hamming 8/4 coded addresses and odd-parity characters, sent a
// field at a time (16 lines) as the pictures arrive.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct vbi_decoder;
struct vbi_event;

namespace tvrec {

// One teletext line without its clock run-in: 42 bytes.
using TeletextPacket = std::vector<std::uint8_t>;

// The header (packet 0) of page `page` (100..899, decimal) with 32 header
// characters and the sub-code `subcode` (0 for a page without sub-pages,
// else 1..79, sent as BCD as broadcasters number them), and a text row
// 1..24 of 40 characters.
TeletextPacket TeletextHeader(int page, const std::string& text, int subcode = 0);
TeletextPacket TeletextRow(int page, int row, const std::string& text);

// The editorial links of a page (packet 27/0): the pages behind the red,
// green, yellow and blue keys.
TeletextPacket TeletextLinks(int page, const int (&links)[4]);

// The pages of a virtual station at `time` ("HH:MM:SS") in the `cycle`th
// round: every packet of pages 100-103 in the order they are sent. Page 103
// has three sub-pages; each round carries the next of them.
std::vector<TeletextPacket> StationPages(const std::string& station, const std::string& date,
                                         const std::string& time, int cycle = 0);

class TeletextDecoder {
 public:
  TeletextDecoder();
  ~TeletextDecoder();
  TeletextDecoder(const TeletextDecoder&) = delete;
  TeletextDecoder& operator=(const TeletextDecoder&) = delete;

  // Any thread: one field's lines at `seconds`.
  void Feed(const std::vector<TeletextPacket>& lines, double seconds);
  // Forgets every page (another channel).
  void Reset();
  // Pages completed since the last reset.
  int pagesReceived() const;
  bool Has(int page) const;
  // The sub-codes of `page` received since the last reset, in order (a page
  // without sub-pages has the one sub-code 0).
  std::vector<int> SubPages(int page) const;
  // The page's text, rows separated by '\n'; empty when not received. A
  // sub-code below 0 takes the newest sub-page.
  std::string Text(int page, int subcode = -1) const;
  // Saves the page (sub-page as in Text): format 0 plain text, 1 HTML
  // (libzvbi's exporters), 2 RTF.
  bool Save(int page, const std::string& path, int format, int subcode = -1) const;
  // The page behind colour key 0..3 (red, green, yellow, blue); 0 when none.
  int Link(int page, int key) const;
  // The page (sub-page as in Text) drawn in 32-bit RGBA, 12 x 10 pixels a
  // character.
  bool Draw(int page, std::vector<std::uint32_t>& rgba, int& width, int& height, int subcode = -1) const;

 private:
  static void OnPage(vbi_event* event, void* self);
  mutable std::mutex mutex_;
  vbi_decoder* decoder_ = nullptr;
  int pages_ = 0;
  std::map<int, std::set<int>> subPages_;  // page -> sub-codes (decimal)
};

// Feeds a station's pages into a decoder a field at a time.
class TeletextFeeder {
 public:
  explicit TeletextFeeder(std::shared_ptr<TeletextDecoder> decoder) : decoder_(std::move(decoder)) {}
  // Streaming thread, once a picture: the next 16 lines of the cycle.
  void NextField(const std::string& station, double seconds);
  void Restart();

 private:
  std::shared_ptr<TeletextDecoder> decoder_;
  std::mutex mutex_;
  std::vector<TeletextPacket> cycle_;
  std::size_t next_ = 0;
  int cycles_ = 0;
};

}  // namespace tvrec
