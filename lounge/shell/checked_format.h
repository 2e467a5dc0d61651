// CheckedFormat: fills a printf-style format that comes from outside the
// program (the registry, the string table) without ever handing it to printf.
// Only plain text and whole-number conversions are understood, each must meet
// an argument of its kind, and anything else refuses the whole format, so a
// stray "%n", "%p" or a missing argument can never read or write memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// One argument: a text for "%s", or a whole number for "%d", "%i" and "%u".
class FormatArg {
 public:
  FormatArg(std::string_view text) : text_(text), isText_(true) {}
  FormatArg(const std::string& text) : text_(text), isText_(true) {}
  FormatArg(const char* text) : text_(text ? text : ""), isText_(true) {}
  FormatArg(int number) : number_(number) {}
  FormatArg(long number) : number_(number) {}
  FormatArg(long long number) : number_(number) {}
  FormatArg(unsigned number) : number_(number) {}

  bool IsText() const { return isText_; }
  std::string_view Text() const { return text_; }
  long long Number() const { return number_; }

 private:
  std::string_view text_;
  long long number_ = 0;
  bool isText_ = false;
};

namespace checked_format_detail {

// Widths above this are refused: a format cannot make the output grow large.
inline constexpr int kMaxWidth = 99;

inline void Pad(std::string& out, std::string_view body, int width, bool left, char fill) {
  const std::size_t pad = width > 0 && static_cast<std::size_t>(width) > body.size() ? width - body.size() : 0;
  if (left) {
    out.append(body);
    out.append(pad, ' ');
    return;
  }
  if (fill == '0' && !body.empty() && body.front() == '-') {
    out.push_back('-');
    body.remove_prefix(1);
  }
  out.append(pad, fill);
  out.append(body);
}

}  // namespace checked_format_detail

// Fills `format` with `args` in order. Understood: "%%", and "%s", "%d", "%i",
// "%u", each optionally with the flags '-' and '0' and a width of at most two
// digits. A conversion without a matching argument of its kind, any other
// conversion or a '%' at the end refuses the format (empty result). Fewer
// conversions than arguments is fine: the rest are not used.
inline std::optional<std::string> CheckedFormat(std::string_view format, std::initializer_list<FormatArg> args) {
  using namespace checked_format_detail;
  std::string out;
  const FormatArg* next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (++i >= format.size()) return std::nullopt;
    if (format[i] == '%') {
      out.push_back('%');
      continue;
    }
    bool left = false;
    bool zero = false;
    for (; i < format.size() && (format[i] == '-' || format[i] == '0'); ++i) {
      (format[i] == '-' ? left : zero) = true;
    }
    int width = 0;
    int digits = 0;
    for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
      if (++digits > 2) return std::nullopt;
      width = width * 10 + (format[i] - '0');
    }
    if (i >= format.size() || width > kMaxWidth) return std::nullopt;
    if (next == args.end()) return std::nullopt;
    const FormatArg& arg = *next++;
    switch (format[i]) {
      case 's':
        if (!arg.IsText()) return std::nullopt;
        Pad(out, arg.Text(), width, left, ' ');
        break;
      case 'd':
      case 'i':
        if (arg.IsText()) return std::nullopt;
        Pad(out, std::to_string(arg.Number()), width, left, zero ? '0' : ' ');
        break;
      case 'u':
        if (arg.IsText()) return std::nullopt;
        Pad(out, std::to_string(static_cast<std::uint32_t>(arg.Number())), width, left, zero ? '0' : ' ');
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}
