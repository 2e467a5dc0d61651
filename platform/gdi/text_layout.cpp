#include "platform/gdi/text_layout.h"

#include <algorithm>

namespace plat::gdi {

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offsets of every character boundary of `text`, 0 and size included.
std::vector<std::size_t> Boundaries(std::string_view text) {
  std::vector<std::size_t> b;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!IsContinuation(text[i])) b.push_back(i);
  b.push_back(text.size());
  return b;
}

void KeepUnderlinesBefore(std::vector<std::size_t>& underlined, std::size_t end) {
  std::erase_if(underlined, [end](std::size_t o) { return o >= end; });
}

}  // namespace

std::string StripPrefixes(std::string_view text, std::vector<std::size_t>* underlined) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;  // a lone final '&' is dropped
    if (text[i + 1] == '&') {
      out += '&';
      ++i;
      continue;
    }
    if (underlined) underlined->push_back(out.size());
  }
  return out;
}

std::string EllipsizeEnd(std::string_view text, int max_width, const MeasureFn& measure) {
  if (measure(text) <= max_width) return std::string(text);
  const std::vector<std::size_t> b = Boundaries(text);
  // Largest prefix that fits with the ellipsis (width grows with length).
  std::size_t lo = 0, hi = b.size() - 1;
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    std::string candidate(text.substr(0, b[mid]));
    candidate += kEllipsis;
    if (measure(candidate) <= max_width) lo = mid;
    else hi = mid - 1;
  }
  std::string out(text.substr(0, b[lo]));
  out += kEllipsis;
  if (lo == 0) {
    // Not even the ellipsis fits: as many dots as do.
    while (!out.empty() && measure(out) > max_width) out.pop_back();
  }
  return out;
}

std::string EllipsizePath(std::string_view text, int max_width, bool end_too, const MeasureFn& measure) {
  if (measure(text) <= max_width) return std::string(text);
  const std::size_t sep = text.find_last_of("\\/");
  if (sep == std::string_view::npos || sep == 0) return EllipsizeEnd(text, max_width, measure);
  const std::string_view head = text.substr(0, sep), tail = text.substr(sep);
  const std::vector<std::size_t> b = Boundaries(head);
  std::size_t lo = 0, hi = b.size() - 1;
  auto build = [&](std::size_t k) {
    std::string s(head.substr(0, b[k]));
    s += kEllipsis;
    s += tail;
    return s;
  };
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    if (measure(build(mid)) <= max_width) lo = mid;
    else hi = mid - 1;
  }
  std::string out = build(lo);
  // Not even "...\name" fits: with an end ellipsis allowed, shorten the
  // whole text from its end instead.
  if (lo == 0 && measure(out) > max_width && end_too) return EllipsizeEnd(text, max_width, measure);
  return out;
}

std::vector<TextLine> LayoutText(std::string_view input, UINT flags, int max_width, const MeasureFn& measure) {
  std::vector<std::size_t> underlined;
  std::string text = (flags & DT_NOPREFIX) ? std::string(input) : StripPrefixes(input, &underlined);
  max_width = std::max(0, max_width);

  // Paragraphs: CR LF, CR or LF end a line unless single-line, where they
  // show as spaces.
  struct Paragraph {
    std::string text;
    std::size_t offset;  // in `text`
  };
  std::vector<Paragraph> paragraphs;
  if (flags & DT_SINGLELINE) {
    std::string flat = text;
    std::replace_if(flat.begin(), flat.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    paragraphs.push_back({flat, 0});
  } else {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
        paragraphs.push_back({text.substr(start, i - start), start});
        if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
      }
    }
  }

  auto underlines_in = [&](std::size_t from, std::size_t to, std::size_t shift) {
    std::vector<std::size_t> out;
    for (std::size_t o : underlined)
      if (o >= from && o < to) out.push_back(o - from + shift);
    return out;
  };

  std::vector<TextLine> lines;
  const bool word_break = (flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE);
  for (const Paragraph& p : paragraphs) {
    if (!word_break || p.text.empty()) {
      lines.push_back({p.text, 0, underlines_in(p.offset, p.offset + p.text.size(), 0)});
      continue;
    }
    std::size_t pos = 0;
    while (pos < p.text.size()) {
      // Break candidates: the end of each run of spaces, and the end.
      std::size_t chosen = std::string::npos;
      std::size_t chosen_trim = 0;
      for (std::size_t e = pos + 1; e <= p.text.size(); ++e) {
        const bool candidate = e == p.text.size() || (p.text[e - 1] == ' ' && p.text[e] != ' ');
        if (!candidate) continue;
        std::size_t trim = e;
        while (trim > pos && p.text[trim - 1] == ' ') --trim;
        const bool fits = measure(std::string_view(p.text).substr(pos, trim - pos)) <= max_width;
        if (fits || chosen == std::string::npos) {
          chosen = e;
          chosen_trim = trim;
        }
        if (!fits) break;
      }
      lines.push_back({p.text.substr(pos, chosen_trim - pos), 0,
                       underlines_in(p.offset + pos, p.offset + chosen_trim, 0)});
      pos = chosen;
    }
  }

  const bool end = flags & DT_END_ELLIPSIS, path = flags & DT_PATH_ELLIPSIS;
  for (TextLine& line : lines) {
    line.width = measure(line.text);
    if ((end || path) && line.width > max_width) {
      std::string shortened =
          path ? EllipsizePath(line.text, max_width, end, measure) : EllipsizeEnd(line.text, max_width, measure);
      // Underlines stay only on the untouched start of the text.
      std::size_t same = 0;
      while (same < shortened.size() && same < line.text.size() && shortened[same] == line.text[same]) ++same;
      KeepUnderlinesBefore(line.underlined, same);
      line.text = std::move(shortened);
      line.width = measure(line.text);
    }
  }
  return lines;
}

}  // namespace plat::gdi
