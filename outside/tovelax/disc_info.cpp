#include "outside/tovelax/disc_info.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include "outside/tovelax/ifo_check.h"

namespace tovelax {
namespace {

struct ReaderCloser {
  void operator()(dvd_reader_t* reader) const { DVDClose(reader); }
};
struct IfoCloser {
  void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};

}  // namespace

std::optional<DiscInfo> ReadDiscInfo(const std::string& path) {
  // The reading library parses IFOs without bounds of its own (even to make
  // the disc's identity): a damaged one is refused before it gets to them.
  if (!DiscIfoProblem(path).empty()) return std::nullopt;
  std::unique_ptr<dvd_reader_t, ReaderCloser> reader(DVDOpen(path.c_str()));
  if (!reader) return std::nullopt;
  DiscInfo info;
  if (DVDDiscID(reader.get(), info.id.data()) != 0) return std::nullopt;
  std::unique_ptr<ifo_handle_t, IfoCloser> vmg(ifoOpen(reader.get(), 0));
  if (!vmg || !vmg->vmgi_mat) return std::nullopt;
  info.refusedRegions = (vmg->vmgi_mat->vmg_category >> 16) & 0xff;
  if (vmg->tt_srpt) {
    for (int i = 0; i < vmg->tt_srpt->nr_of_srpts; ++i)
      info.titleSetOfTitle.push_back(vmg->tt_srpt->title[i].title_set_nr);
  }
  if (vmg->ptl_mait && vmg->ptl_mait->nr_of_countries > 0 && vmg->ptl_mait->countries) {
    const ptl_mait_country_t& country = vmg->ptl_mait->countries[0];
    for (int set = 0; set <= vmg->ptl_mait->nr_of_vtss && country.pf_ptl_mai; ++set) {
      std::array<std::uint16_t, 8> levels{};
      // The table lists level 8 first.
      for (int level = 0; level < 8; ++level) levels[level] = country.pf_ptl_mai[set][7 - level];
      info.parental.push_back(levels);
    }
  }
  return info;
}

std::uint32_t TitleParentalMask(const DiscInfo& info, int title) {
  if (info.parental.empty()) return 0xff00;
  if (title < 1 || static_cast<std::size_t>(title) > info.titleSetOfTitle.size()) return 0;
  const auto set = static_cast<std::size_t>(info.titleSetOfTitle[static_cast<std::size_t>(title) - 1]);
  if (set >= info.parental.size()) return 0;
  std::uint32_t mask = 0;
  for (int level = 0; level < 8; ++level)
    if (info.parental[set][static_cast<std::size_t>(level)] != 0) mask |= 1u << (8 + level);
  return mask;
}

}  // namespace tovelax
