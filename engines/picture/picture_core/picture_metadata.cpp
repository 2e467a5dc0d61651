#include "engines/picture/picture_core/picture_metadata.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "engines/picture/picture_core/exif_block.h"
#include "engines/picture/picture_core/picture_info.h"

namespace picture {

namespace {

constexpr char kXmpNamespace[] = "http://ns.adobe.com/xap/1.0/";  // followed by a zero byte
constexpr char kIccTag[] = "ICC_PROFILE";                          // followed by zero, sequence, count
constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";
constexpr std::size_t kMaxInflated = std::size_t{16} << 20;

bool StartsWith(std::span<const std::uint8_t> p, const char* text, std::size_t n) {
  return p.size() >= n && std::memcmp(p.data(), text, n) == 0;
}

// zlib data of a PNG chunk, refused past the size limit.
bool Inflate(std::span<const std::uint8_t> in, std::vector<std::uint8_t>* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  std::uint8_t buffer[16384];
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = buffer;
    z.avail_out = sizeof buffer;
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    out->insert(out->end(), buffer, buffer + (sizeof buffer - z.avail_out));
    if (out->size() > kMaxInflated) rc = Z_MEM_ERROR;
  }
  inflateEnd(&z);
  return rc == Z_STREAM_END;
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> in) {
  uLongf size = compressBound(static_cast<uLong>(in.size()));
  std::vector<std::uint8_t> out(size);
  if (compress(out.data(), &size, in.data(), static_cast<uLong>(in.size())) != Z_OK) return {};
  out.resize(size);
  return out;
}

std::uint32_t Be32(std::span<const std::uint8_t> d, std::size_t at) {
  return (std::uint32_t{d[at]} << 24) | (d[at + 1] << 16) | (d[at + 2] << 8) | d[at + 3];
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

PictureMetadata ReadJpegMetadata(std::span<const std::uint8_t> data) {
  PictureMetadata meta;
  std::map<int, std::vector<std::uint8_t>> icc_parts;
  for (const JpegSegment& s : ReadJpegSegments(data)) {
    const auto p = s.payload;
    if (s.code == 0xE1 && StartsWith(p, reinterpret_cast<const char*>(kExifPrefix), 6) && meta.exif.empty()) {
      meta.exif.assign(p.begin() + 6, p.end());
    } else if (s.code == 0xE1 && StartsWith(p, kXmpNamespace, sizeof kXmpNamespace) && meta.xmp.empty()) {
      meta.xmp.assign(p.begin() + sizeof kXmpNamespace, p.end());
    } else if (s.code == 0xE2 && StartsWith(p, kIccTag, sizeof kIccTag) && p.size() >= sizeof kIccTag + 2) {
      icc_parts[p[sizeof kIccTag]].assign(p.begin() + sizeof kIccTag + 2, p.end());
    } else if (s.code == 0xED && meta.iptc.empty()) {
      meta.iptc.assign(p.begin(), p.end());
    } else if (s.code == 0xFE) {
      meta.comments.emplace_back(reinterpret_cast<const char*>(p.data()), p.size());
    }
  }
  for (auto& [sequence, part] : icc_parts) meta.icc.insert(meta.icc.end(), part.begin(), part.end());
  return meta;
}

PictureMetadata ReadPngMetadata(std::span<const std::uint8_t> data) {
  PictureMetadata meta;
  std::size_t at = 8;
  while (at + 12 <= data.size()) {
    const std::uint32_t length = Be32(data, at);
    if (length > data.size() - at - 12) break;
    const std::string type(reinterpret_cast<const char*>(data.data() + at + 4), 4);
    const auto body = data.subspan(at + 8, length);
    at += 12 + static_cast<std::size_t>(length);
    if (type == "IDAT" || type == "IEND") {
      if (type == "IEND") break;
      continue;
    }
    const auto zero = std::find(body.begin(), body.end(), std::uint8_t{0});
    const std::string keyword(body.begin(), zero);
    const std::size_t after = static_cast<std::size_t>(zero - body.begin()) + 1;
    if (type == "eXIf") {
      meta.exif.assign(body.begin(), body.end());
    } else if (type == "iCCP") {
      // keyword, zero, method, compressed profile
      if (after + 1 <= body.size()) Inflate(body.subspan(after + 1), &meta.icc);
    } else if (type == "tEXt" && keyword == "Comment" && after <= body.size()) {
      meta.comments.emplace_back(body.begin() + static_cast<std::ptrdiff_t>(after), body.end());
    } else if (type == "iTXt" && keyword == kXmpKeyword && after + 2 <= body.size() && body[after] == 0) {
      // flag 0 (not compressed), method, language, zero, translated keyword, zero, text
      auto rest = body.subspan(after + 2);
      auto lang_end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
      if (lang_end != rest.end()) {
        auto key_end = std::find(lang_end + 1, rest.end(), std::uint8_t{0});
        if (key_end != rest.end()) meta.xmp.assign(key_end + 1, rest.end());
      }
    } else if (type == "tEXt" || type == "zTXt" || type == "iTXt") {
      meta.png_text.push_back(plat::gdi::PngChunk{type, {body.begin(), body.end()}});
    }
  }
  return meta;
}

std::vector<plat::gdi::JpegMarker> JpegMarkersFor(const PictureMetadata& meta) {
  std::vector<plat::gdi::JpegMarker> out;
  constexpr std::size_t kMaxPayload = 65533;
  if (!meta.exif.empty() && meta.exif.size() + 6 <= kMaxPayload) {
    plat::gdi::JpegMarker m{0xE1, {std::begin(kExifPrefix), std::end(kExifPrefix)}};
    m.data.insert(m.data.end(), meta.exif.begin(), meta.exif.end());
    out.push_back(std::move(m));
  }
  if (!meta.xmp.empty() && meta.xmp.size() + sizeof kXmpNamespace <= kMaxPayload) {
    plat::gdi::JpegMarker m{0xE1, {kXmpNamespace, kXmpNamespace + sizeof kXmpNamespace}};
    m.data.insert(m.data.end(), meta.xmp.begin(), meta.xmp.end());
    out.push_back(std::move(m));
  }
  if (!meta.icc.empty()) {
    // The profile in numbered parts of at most 65519 bytes.
    constexpr std::size_t kPart = kMaxPayload - sizeof kIccTag - 2;
    const std::size_t parts = (meta.icc.size() + kPart - 1) / kPart;
    if (parts <= 255) {
      for (std::size_t i = 0; i < parts; ++i) {
        plat::gdi::JpegMarker m{0xE2, {kIccTag, kIccTag + sizeof kIccTag}};
        m.data.push_back(static_cast<std::uint8_t>(i + 1));
        m.data.push_back(static_cast<std::uint8_t>(parts));
        const std::size_t begin = i * kPart, end = std::min(meta.icc.size(), begin + kPart);
        m.data.insert(m.data.end(), meta.icc.begin() + static_cast<std::ptrdiff_t>(begin),
                      meta.icc.begin() + static_cast<std::ptrdiff_t>(end));
        out.push_back(std::move(m));
      }
    }
  }
  if (!meta.iptc.empty() && meta.iptc.size() <= kMaxPayload) out.push_back({0xED, meta.iptc});
  for (const std::string& comment : meta.comments)
    if (comment.size() <= kMaxPayload) out.push_back({0xFE, Bytes(comment)});
  return out;
}

std::vector<plat::gdi::PngChunk> PngChunksFor(const PictureMetadata& meta) {
  std::vector<plat::gdi::PngChunk> out;
  if (!meta.icc.empty()) {
    std::vector<std::uint8_t> body = Bytes("ICC profile");
    body.push_back(0);
    body.push_back(0);  // deflate
    const std::vector<std::uint8_t> packed = Deflate(meta.icc);
    if (!packed.empty()) {
      body.insert(body.end(), packed.begin(), packed.end());
      out.push_back({"iCCP", std::move(body)});
    }
  }
  if (!meta.exif.empty()) out.push_back({"eXIf", meta.exif});
  if (!meta.xmp.empty()) {
    std::vector<std::uint8_t> body = Bytes(kXmpKeyword);
    body.insert(body.end(), {0, 0, 0, 0, 0});  // keyword end, not compressed, method, no language, no translation
    body.insert(body.end(), meta.xmp.begin(), meta.xmp.end());
    out.push_back({"iTXt", std::move(body)});
  }
  for (const std::string& comment : meta.comments) {
    std::vector<std::uint8_t> body = Bytes("Comment");
    body.push_back(0);
    body.insert(body.end(), comment.begin(), comment.end());
    out.push_back({"tEXt", std::move(body)});
  }
  out.insert(out.end(), meta.png_text.begin(), meta.png_text.end());
  return out;
}

}  // namespace picture
