#include "engines/playback/wmhost/library/playlist_file.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "engines/playback/wmhost/player/media_item.h"
#include "platform/xml/document.h"

namespace wmhost {

namespace {

namespace fs = std::filesystem;

std::string Extension(const std::string& path) { return ToLowerAscii(fs::path(path).extension().string()); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// An entry as written in a playlist: a URL, a file URL or a path relative to
// the playlist's folder (either slash).
std::string ResolveEntry(std::string entry, const fs::path& folder) {
  entry = Trim(entry);
  if (entry.empty()) return {};
  if (entry.size() > 7 && EqualsNoCase(std::string_view(entry).substr(0, 7), "file://")) {
    return PercentDecode(std::string_view(entry).substr(7));
  }
  if (entry.find("://") != std::string::npos) return entry;
  for (char& c : entry) {
    if (c == '\\') c = '/';
  }
  if (entry.front() == '/') return fs::path(entry).lexically_normal().string();
  return (folder / entry).lexically_normal().string();
}

bool ReadWhole(const std::string& path, std::string* text, std::string* error) {
  std::error_code failure;
  const auto size = fs::file_size(path, failure);
  if (failure) {
    *error = "cannot read " + path + ": " + failure.message();
    return false;
  }
  if (size > kMaxPlaylistFileBytes) {
    *error = path + " is too large for a playlist";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return true;
}

void ReadM3u(const std::string& text, const fs::path& folder, PlaylistFileContents* out) {
  std::string_view rest = text;
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    std::string line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (std::string entry = ResolveEntry(line, folder); !entry.empty()) out->entries.push_back(std::move(entry));
  }
}

// Element and attribute names of ASX files are not case-sensitive.
std::vector<plat::xml::Element> ChildrenNoCase(const plat::xml::Element& parent, std::string_view name) {
  std::vector<plat::xml::Element> found;
  for (const auto& child : parent.children()) {
    if (EqualsNoCase(child.name(), name)) found.push_back(child);
  }
  return found;
}

std::optional<std::string> AttributeNoCase(const plat::xml::Element& element, std::string_view name) {
  for (const std::string& attribute : element.attributeNames()) {
    if (EqualsNoCase(attribute, name)) return element.attribute(attribute);
  }
  return std::nullopt;
}

void ReadWpl(const plat::xml::Element& root, const fs::path& folder, PlaylistFileContents* out) {
  for (const auto& head : ChildrenNoCase(root, "head")) {
    for (const auto& title : ChildrenNoCase(head, "title")) out->title = Trim(title.text());
  }
  for (const auto& body : ChildrenNoCase(root, "body")) {
    for (const auto& seq : ChildrenNoCase(body, "seq")) {
      for (const auto& media : ChildrenNoCase(seq, "media")) {
        if (auto src = AttributeNoCase(media, "src")) {
          if (std::string entry = ResolveEntry(*src, folder); !entry.empty()) out->entries.push_back(entry);
        }
      }
    }
  }
}

void ReadAsx(const plat::xml::Element& root, const fs::path& folder, PlaylistFileContents* out) {
  for (const auto& title : ChildrenNoCase(root, "title")) out->title = Trim(title.text());
  for (const auto& child : root.children()) {
    // An entry plays its first reference; a bare <ref> at the top level too.
    std::vector<plat::xml::Element> refs;
    if (EqualsNoCase(child.name(), "entry")) {
      refs = ChildrenNoCase(child, "ref");
      if (refs.size() > 1) refs.resize(1);
    } else if (EqualsNoCase(child.name(), "ref")) {
      refs.push_back(child);
    }
    for (const auto& ref : refs) {
      if (auto href = AttributeNoCase(ref, "href")) {
        if (std::string entry = ResolveEntry(*href, folder); !entry.empty()) out->entries.push_back(entry);
      }
    }
  }
}

}  // namespace

bool IsPlaylistFileName(const std::string& path) {
  const std::string extension = Extension(path);
  return extension == ".m3u" || extension == ".wpl" || extension == ".asx" || extension == ".wax" ||
         extension == ".wmx";
}

PlaylistFileContents ReadPlaylistFile(const std::string& path) {
  PlaylistFileContents out;
  const fs::path file(path);
  const fs::path folder = file.parent_path();
  const std::string extension = Extension(path);
  if (!IsPlaylistFileName(path)) {
    out.error = path + " is no playlist file";
    return out;
  }
  std::string text;
  if (!ReadWhole(path, &text, &out.error)) return out;
  if (extension == ".m3u") {
    ReadM3u(text, folder, &out);
  } else {
    plat::xml::Document document;
    if (auto status = document.loadString(text); !status) {
      out.error = path + ": " + status.message;
      return out;
    }
    const auto root = document.documentElement();
    if (extension == ".wpl" && EqualsNoCase(root.name(), "smil")) {
      ReadWpl(root, folder, &out);
    } else if (extension != ".wpl" && EqualsNoCase(root.name(), "asx")) {
      ReadAsx(root, folder, &out);
    } else {
      out.error = path + ": unexpected document element <" + root.name() + ">";
      return out;
    }
  }
  if (out.title.empty()) out.title = file.stem().string();
  out.ok = true;
  return out;
}

}  // namespace wmhost
