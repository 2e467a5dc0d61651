#include "platform/registry/hive_text.h"

#include <cstdio>

namespace plat::reg {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kHexLineWidth = 76;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && NamesEqual(s.substr(0, prefix.size()), prefix);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `maxDigits` hex digits and nothing else.
std::optional<DWORD> ParseHexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  DWORD v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = (v << 4) | static_cast<DWORD>(d);
  }
  return v;
}

// Splits text into lines without their line ends ("\n" or "\r\n").
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// Reads a quoted string starting at s[pos] == '"'. Only \\ and \" are escapes;
// a backslash before anything else stands for itself, as hand-written paths
// ("C:\Music") expect.
std::optional<std::string> ParseQuoted(std::string_view s, std::size_t& pos) {
  std::string out;
  for (++pos; pos < s.size(); ++pos) {
    char c = s[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) c = s[++pos];
    out.push_back(c);
  }
  return std::nullopt;
}

std::optional<std::vector<BYTE>> ParseHexList(std::string_view list) {
  std::vector<BYTE> bytes;
  list = Trim(list);
  if (list.empty()) return bytes;
  while (true) {
    std::size_t comma = list.find(',');
    auto byte = ParseHexNumber(Trim(list.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<BYTE>(*byte));
    if (comma == std::string_view::npos) return bytes;
    list.remove_prefix(comma + 1);
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::span<const HiveRoot> roots, Key& out) : roots_(roots), out_(out) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    lines_ = SplitLines(text);
  }

  std::optional<ParseError> Run() {
    while (index_ < lines_.size() && Trim(lines_[index_]).empty()) ++index_;
    if (index_ == lines_.size()) return std::nullopt;
    if (Trim(lines_[index_]) != kHeader) return Fail("the first line is not \"REGEDIT4\"");
    for (++index_; index_ < lines_.size(); ++index_) {
      std::string_view line = Trim(lines_[index_]);
      if (line.empty() || line.front() == ';') continue;
      std::optional<ParseError> error;
      if (line.front() == '[') {
        error = Section(line);
      } else if (line.front() == '"' || line.front() == '@') {
        error = ValueLine(line);
      } else {
        error = Fail("unrecognised line");
      }
      if (error) return error;
    }
    return std::nullopt;
  }

 private:
  ParseError Fail(std::string reason) const { return ParseError{static_cast<int>(index_) + 1, std::move(reason)}; }

  std::optional<ParseError> Section(std::string_view line) {
    if (line.back() != ']') return Fail("a key header must end with ']'");
    std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path.front() == '-') return Fail("key deletions do not belong in a hive");
    std::vector<std::string> steps;
    while (true) {
      std::size_t slash = path.find('\\');
      steps.emplace_back(path.substr(0, slash));
      if (steps.back().empty()) return Fail("empty key name in header");
      if (slash == std::string_view::npos) break;
      path.remove_prefix(slash + 1);
    }
    const HiveRoot* root = nullptr;
    for (const HiveRoot& r : roots_)
      if (NamesEqual(r.name, steps.front())) root = &r;
    if (!root) return Fail("key \"" + steps.front() + "\" is not in this hive");
    std::vector<std::string> full = root->prefix;
    full.insert(full.end(), steps.begin() + 1, steps.end());
    current_ = &out_.Make(full);
    return std::nullopt;
  }

  std::optional<ParseError> ValueLine(std::string_view line) {
    if (!current_) return Fail("value before any key header");
    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      pos = 1;
    } else {
      auto quoted = ParseQuoted(line, pos);
      if (!quoted) return Fail("unterminated value name");
      name = std::move(*quoted);
    }
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return Fail("expected '=' after the value name");
    rest = Trim(rest.substr(1));

    if (!rest.empty() && rest.front() == '"') {
      std::size_t p = 0;
      auto text = ParseQuoted(rest, p);
      if (!text) return Fail("unterminated string");
      if (!Trim(rest.substr(p)).empty()) return Fail("text after the closing quote");
      std::vector<BYTE> data(text->begin(), text->end());
      data.push_back(0);
      current_->SetValue(name, 1 /* REG_SZ */, data);
      return std::nullopt;
    }
    if (StartsWithNoCase(rest, "dword:")) {
      auto v = ParseHexNumber(rest.substr(6), 8);
      if (!v) return Fail("a dword needs 1 to 8 hex digits");
      const BYTE data[4] = {static_cast<BYTE>(*v), static_cast<BYTE>(*v >> 8), static_cast<BYTE>(*v >> 16),
                            static_cast<BYTE>(*v >> 24)};
      current_->SetValue(name, 4 /* REG_DWORD */, data);
      return std::nullopt;
    }
    if (StartsWithNoCase(rest, "hex")) {
      DWORD type = 3;  // REG_BINARY
      std::string_view list = rest.substr(3);
      if (!list.empty() && list.front() == '(') {
        std::size_t close = list.find(')');
        auto t = close == std::string_view::npos ? std::nullopt : ParseHexNumber(list.substr(1, close - 1), 8);
        if (!t) return Fail("bad hex(<type>) prefix");
        type = *t;
        list.remove_prefix(close + 1);
      }
      if (list.empty() || list.front() != ':') return Fail("expected ':' after hex");
      std::string joined(list.substr(1));
      // A trailing backslash continues the list on the next line.
      while (!joined.empty() && joined.back() == '\\') {
        joined.pop_back();
        if (index_ + 1 == lines_.size()) return Fail("hex list continues past the end of the file");
        ++index_;
        joined += Trim(lines_[index_]);
      }
      auto bytes = ParseHexList(joined);
      if (!bytes) return Fail("bad byte in hex list");
      current_->SetValue(name, type, *bytes);
      return std::nullopt;
    }
    return Fail("unrecognised value data");
  }

  std::span<const HiveRoot> roots_;
  Key& out_;
  std::vector<std::string_view> lines_;
  std::size_t index_ = 0;
  Key* current_ = nullptr;
};

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// A REG_SZ that the quoted form carries exactly: one terminating zero, no other
// zero and no line break.
bool IsPlainString(const std::vector<BYTE>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0 || data[i] == '\n' || data[i] == '\r') return false;
  return true;
}

void WriteHex(std::string& out, std::string line, const std::vector<BYTE>& data) {
  char byte[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    line += byte;
    if (i + 1 == data.size()) break;
    line += ',';
    if (line.size() >= kHexLineWidth) {
      out += line;
      out += "\\\n";
      line = "  ";
    }
  }
  out += line;
  out += '\n';
}

void WriteValue(std::string& out, const Value& v) {
  std::string line = v.name.empty() ? std::string("@") : Quote(v.name);
  line += '=';
  if (v.type == 1 && IsPlainString(v.data)) {
    out += line;
    out += Quote(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    out += '\n';
  } else if (v.type == 4 && v.data.size() == 4) {
    char text[16];
    DWORD d = v.data[0] | (DWORD{v.data[1]} << 8) | (DWORD{v.data[2]} << 16) | (DWORD{v.data[3]} << 24);
    std::snprintf(text, sizeof text, "dword:%08x\n", d);
    out += line;
    out += text;
  } else if (v.type == 3) {
    WriteHex(out, line + "hex:", v.data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", v.type);
    WriteHex(out, line + prefix, v.data);
  }
}

void WriteKey(std::string& out, const Key& key, const std::string& header, bool withSection) {
  if (withSection) {
    out += '[';
    out += header;
    out += "]\n";
    for (const Value& v : key.values()) WriteValue(out, v);
    out += '\n';
  }
  for (const Key& sub : key.subKeys()) WriteKey(out, sub, header + "\\" + sub.name(), true);
}

}  // namespace

std::optional<ParseError> ParseHiveText(std::string_view text, std::span<const HiveRoot> roots, Key& out) {
  return Parser(text, roots, out).Run();
}

std::string WriteHiveText(const Key& root, std::string_view rootName) {
  std::string out(kHeader);
  out += "\n\n";
  WriteKey(out, root, std::string(rootName), !root.values().empty());
  return out;
}

}  // namespace plat::reg
