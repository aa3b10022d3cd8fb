#include "imagefmt/jpeg_codec.h"

// clang-format off
#include <cstdio>
#include <csetjmp>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"

namespace novu::imagefmt {
namespace {

using render::TDIBSurface;

struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}
void IgnoreMessage(j_common_ptr) {}

// libjpeg reports errors by longjmp: nothing with a destructor lives in these frames. The
// picture is allocated by the caller once the header is known.
struct DecodeJob {
  std::span<const uint8_t> data;
  TDIBSurface* picture;
  uint8_t* row;  // width * 3 bytes, allocated by the caller through `prepare`
  bool (*prepare)(DecodeJob*, int width, int height);
  void* owner;
};

bool RunDecode(DecodeJob* job) {
  jpeg_decompress_struct info;
  ErrorJump err;
  info.err = jpeg_std_error(&err.manager);
  err.manager.error_exit = JumpOnError;
  err.manager.output_message = IgnoreMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, job->data.data(), static_cast<unsigned long>(job->data.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3 || !job->prepare(job, static_cast<int>(info.output_width),
                                                   static_cast<int>(info.output_height))) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW row = job->row;
    if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
    uint8_t* dst = job->picture->ScanLine(y);
    const int step = job->picture->StorageBitCount() / 8;
    for (JDIMENSION x = 0; x < info.output_width; ++x, dst += step) {
      dst[0] = job->row[3 * x + 2];
      dst[1] = job->row[3 * x + 1];
      dst[2] = job->row[3 * x];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

struct EncodeJob {
  const TDIBSurface* picture;
  const uint8_t* rgb;  // height * width * 3 bytes, top row first
  int quality;
  unsigned char* out;
  unsigned long out_size;
};

bool RunEncode(EncodeJob* job) {
  jpeg_compress_struct info;
  ErrorJump err;
  info.err = jpeg_std_error(&err.manager);
  err.manager.error_exit = JumpOnError;
  err.manager.output_message = IgnoreMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &job->out, &job->out_size);
  info.image_width = static_cast<JDIMENSION>(job->picture->Width());
  info.image_height = static_cast<JDIMENSION>(job->picture->Height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, job->quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const size_t row_bytes = static_cast<size_t>(job->picture->Width()) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(job->rgb + info.next_scanline * row_bytes);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

TDIBSurface DecodeJpeg(std::span<const uint8_t> data, int expected_width, int expected_height,
                       int depth) {
  TDIBSurface picture;
  std::vector<uint8_t> row;
  struct Owner {
    std::vector<uint8_t>* row;
    int width, height, depth;
  } owner{&row, expected_width, expected_height, depth == 32 ? 32 : 24};
  DecodeJob job{data, &picture, nullptr, nullptr, &owner};
  job.prepare = [](DecodeJob* j, int width, int height) {
    const auto* o = static_cast<Owner*>(j->owner);
    if (width != o->width || height != o->height) return false;
    try {
      j->picture->SetSize(width, height, o->depth);
      auto* rows = o->row;
      rows->assign(static_cast<size_t>(width) * 3, 0);
      j->row = rows->data();
      return true;
    } catch (const NovuError&) {
      return false;
    }
  };
  if (!RunDecode(&job)) throw NovuError::FromUtf8("Layered image: damaged JPEG data");
  return picture;
}

std::vector<uint8_t> EncodeJpeg(const TDIBSurface& picture, int quality) {
  const int width = picture.Width();
  const int height = picture.Height();
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
  uint8_t* p = rgb.data();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.Rgb8Of(picture.GetPixel(x, y), p[0], p[1], p[2]);
      p += 3;
    }
  }
  EncodeJob job{&picture, rgb.data(), std::clamp(quality, 1, 100), nullptr, 0};
  const bool ok = RunEncode(&job);
  std::vector<uint8_t> out;
  if (ok && job.out) out.assign(job.out, job.out + job.out_size);
  std::free(job.out);
  if (!ok) throw NovuError::FromUtf8("Cannot encode JPEG data");
  return out;
}

}  // namespace novu::imagefmt
