#include "outside/authoring/disc_authoring.h"

#include <filesystem>
#include <fstream>

#include "platform/sys/spawn.h"

namespace authoring {
namespace {

plat::HRESULT Run(const std::vector<std::string>& argv, const JobControl& control) {
  std::string output;
  const int status = plat::RunAndWait(argv, &output, control.CancelFlag());
  if (control.Cancelled()) return plat::E_ABORT;
  return status == 0 ? plat::S_OK : plat::E_FAIL;
}

// An ISO 9660 volume id: at most 32 characters.
std::string VolumeId(const std::string& label) {
  std::string id = label.empty() ? std::string("MARIVEL") : label;
  if (id.size() > 32) id.resize(32);
  while (!id.empty() && (static_cast<unsigned char>(id.back()) & 0xC0) == 0x80) id.pop_back();
  if (!id.empty() && (static_cast<unsigned char>(id.back()) & 0x80)) id.pop_back();
  return id;
}

}  // namespace

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string DvdAuthorXml(const std::string& dest, const std::vector<DvdTitle>& titles, bool pal) {
  const char* format = pal ? "pal" : "ntsc";
  std::string xml = "<dvdauthor dest=\"" + XmlEscape(dest) + "\">\n";
  xml += std::string("  <vmgm><menus><video format=\"") + format + "\"/></menus></vmgm>\n";
  xml += "  <titleset>\n    <titles>\n";
  xml += std::string("      <video format=\"") + format + "\" aspect=\"4:3\"/>\n";
  for (const DvdTitle& title : titles) {
    xml += "      <pgc>\n";
    for (const std::string& file : title) xml += "        <vob file=\"" + XmlEscape(file) + "\" chapters=\"0\"/>\n";
    xml += "      </pgc>\n";
  }
  xml += "    </titles>\n  </titleset>\n</dvdauthor>\n";
  return xml;
}

plat::HRESULT AuthorDvd(const std::string& dest, const std::vector<DvdTitle>& titles, bool pal,
                        const std::string& logFolder, const JobControl& control) {
  const std::string control_file = logFolder + "/dvdauthor.xml";
  {
    std::ofstream out(control_file, std::ios::binary | std::ios::trunc);
    out << DvdAuthorXml(dest, titles, pal);
    if (!out) return plat::E_FAIL;
  }
  std::error_code ec;
  std::filesystem::remove_all(dest, ec);
  const plat::HRESULT hr = Run({"dvdauthor", "-x", control_file}, control);
  if (plat::FAILED(hr)) return hr;
  return std::filesystem::is_regular_file(dest + "/VIDEO_TS/VIDEO_TS.IFO", ec) ? plat::S_OK : plat::E_FAIL;
}

plat::HRESULT MakeDvdIso(const std::string& folder, const std::string& label, const std::string& iso,
                         const JobControl& control) {
  std::error_code ec;
  // DVD-Video keeps an AUDIO_TS folder beside VIDEO_TS, empty.
  std::filesystem::create_directories(folder + "/AUDIO_TS", ec);
  return Run({"genisoimage", "-quiet", "-dvd-video", "-udf", "-input-charset", "utf-8", "-V", VolumeId(label), "-o", iso,
              folder},
             control);
}

plat::HRESULT MakeVcdImage(const std::vector<std::string>& tracks, bool svcd, const std::string& label,
                           const std::string& bin, const std::string& cue, const JobControl& control) {
  std::vector<std::string> argv = {"vcdimager", svcd ? "--type=svcd" : "--type=vcd2", "--cue-file=" + cue,
                                   "--bin-file=" + bin, "--iso-volume-label=" + VolumeId(label)};
  for (const std::string& t : tracks) argv.push_back(t);
  return Run(argv, control);
}

}  // namespace authoring
