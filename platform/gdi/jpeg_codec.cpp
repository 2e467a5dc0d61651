#include "platform/gdi/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace plat::gdi {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the set-up point of the call in progress. The functions
// that set the jump point keep only trivially destructible locals between
// setjmp and the library calls, so the jump skips no destructor.
struct ErrorManager {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void SilentOutput(j_common_ptr) {}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.mgr);
  err.mgr.error_exit = ErrorExit;
  err.mgr.output_message = SilentOutput;
  err.message[0] = 0;
}

// Decoding state whose storage lives in the caller: the surface is
// allocated through a callback so no C++ object is created in the frame
// that holds the jump point.
struct DecodeJob {
  const std::uint8_t* data;
  std::size_t size;
  int denominator;
  Surface* out;
  bool cmyk_inverted;  // Adobe CMYK: values stored inverted
  const char* failure;
};

bool AllocateSurface(DecodeJob* job, JDIMENSION w, JDIMENSION h) {
  if (w == 0 || h == 0 || static_cast<std::int64_t>(w) * h > MaxSurfacePixels) return false;
  job->out->resize(static_cast<int>(w), static_cast<int>(h), 0xFF000000u);
  return true;
}

void CmykRowToBgra(std::uint8_t* row, JDIMENSION width, bool inverted) {
  // In place: four bytes C, M, Y, K become B, G, R, A.
  for (JDIMENSION x = 0; x < width; ++x) {
    std::uint8_t* p = row + 4 * x;
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) { c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k; }
    p[0] = static_cast<std::uint8_t>(y * k / 255);
    p[1] = static_cast<std::uint8_t>(m * k / 255);
    p[2] = static_cast<std::uint8_t>(c * k / 255);
    p[3] = 255;
  }
}

bool RunDecode(DecodeJob* job, ErrorManager* err, bool header_only, JDIMENSION* out_w, JDIMENSION* out_h) {
  jpeg_decompress_struct cinfo;
  cinfo.err = &err->mgr;
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(&cinfo);
    job->failure = err->message;
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, job->data, static_cast<unsigned long>(job->size));
  jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 0xFFFF);
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&cinfo);
    job->failure = "no JPEG header";
    return false;
  }
  if (header_only) {
    *out_w = cinfo.image_width;
    *out_h = cinfo.image_height;
    jpeg_destroy_decompress(&cinfo);
    return true;
  }
  // Decoded pictures may be scaled down, so the source may exceed the
  // surface limit; but a header promising far more pixels than the data
  // could describe (even flat areas cost bits per block) is refused.
  const std::int64_t source_pixels = static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height;
  if (source_pixels > MaxSurfacePixels * 64 ||
      source_pixels > (std::int64_t{1} << 24) + static_cast<std::int64_t>(job->size) * 4096) {
    jpeg_destroy_decompress(&cinfo);
    job->failure = "JPEG dimensions out of range";
    return false;
  }
  cinfo.scale_num = 1;
  cinfo.scale_denom = static_cast<unsigned>(job->denominator);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  job->cmyk_inverted = cmyk && cinfo.saw_Adobe_marker;
  jpeg_calc_output_dimensions(&cinfo);
  if (!AllocateSurface(job, cinfo.output_width, cinfo.output_height)) {
    jpeg_destroy_decompress(&cinfo);
    job->failure = "JPEG dimensions out of range";
    return false;
  }
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(job->out->row(static_cast<int>(cinfo.output_scanline)));
    jpeg_read_scanlines(&cinfo, &row, 1);
    if (cmyk) CmykRowToBgra(row, cinfo.output_width, job->cmyk_inverted);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct EncodeJob {
  const Surface* in;
  const JpegEncodeOptions* options;
  const JpegKeep* keep;
  unsigned char* buffer;
  unsigned long size;
  const char* failure;
};

bool RunEncode(EncodeJob* job, ErrorManager* err) {
  jpeg_compress_struct cinfo;
  cinfo.err = &err->mgr;
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(&cinfo);
    job->failure = err->message;
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &job->buffer, &job->size);
  cinfo.image_width = static_cast<JDIMENSION>(job->in->width());
  cinfo.image_height = static_cast<JDIMENSION>(job->in->height());
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, job->options->quality < 1 ? 1 : (job->options->quality > 100 ? 100 : job->options->quality),
                   TRUE);
  cinfo.write_JFIF_header = TRUE;
  cinfo.density_unit = static_cast<UINT8>(job->options->density_unit);
  cinfo.X_density = static_cast<UINT16>(job->options->x_density);
  cinfo.Y_density = static_cast<UINT16>(job->options->y_density);
  const int h = job->keep->luma_h_sampling, v = job->keep->luma_v_sampling;
  if (h >= 1 && h <= 2 && v >= 1 && v <= 2) {
    cinfo.comp_info[0].h_samp_factor = h;
    cinfo.comp_info[0].v_samp_factor = v;
  }
  jpeg_start_compress(&cinfo, TRUE);
  for (const JpegMarker& marker : job->keep->markers) {
    if (marker.data.size() > 65533) continue;
    jpeg_write_marker(&cinfo, marker.code, marker.data.data(), static_cast<unsigned>(marker.data.size()));
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        reinterpret_cast<const JSAMPLE*>(job->in->row(static_cast<int>(cinfo.next_scanline))));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::optional<Surface> DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options,
                                  std::string* error) {
  const int d = options.scale_denominator;
  if (d != 1 && d != 2 && d != 4 && d != 8) {
    if (error) *error = "unsupported scale";
    return std::nullopt;
  }
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) {
    if (error) *error = "not a JPEG file";
    return std::nullopt;
  }
  Surface out;
  ErrorManager err;
  InitErrors(err);
  DecodeJob job{data.data(), data.size(), d, &out, false, nullptr};
  JDIMENSION w = 0, h = 0;
  if (!RunDecode(&job, &err, false, &w, &h)) {
    if (error) *error = job.failure ? job.failure : "JPEG decoding failed";
    return std::nullopt;
  }
  return out;
}

std::optional<std::pair<int, int>> JpegDimensions(std::span<const std::uint8_t> data) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  Surface unused;
  ErrorManager err;
  InitErrors(err);
  DecodeJob job{data.data(), data.size(), 1, &unused, false, nullptr};
  JDIMENSION w = 0, h = 0;
  if (!RunDecode(&job, &err, true, &w, &h)) return std::nullopt;
  return std::pair<int, int>(static_cast<int>(w), static_cast<int>(h));
}

std::vector<std::uint8_t> EncodeJpeg(const Surface& surface, const JpegEncodeOptions& options, std::string* error,
                                     const JpegKeep& keep) {
  if (surface.empty()) {
    if (error) *error = "empty image";
    return {};
  }
  ErrorManager err;
  InitErrors(err);
  EncodeJob job{&surface, &options, &keep, nullptr, 0, nullptr};
  const bool ok = RunEncode(&job, &err);
  std::vector<std::uint8_t> out;
  if (ok) out.assign(job.buffer, job.buffer + job.size);
  else if (error) *error = job.failure ? job.failure : "JPEG encoding failed";
  std::free(job.buffer);
  return out;
}

}  // namespace plat::gdi
