// The history pictures as PNG files, compressed by zlib; kept apart from the
// drawing, which the WebAssembly module shares without zlib.

#include <zlib.h>

#include <cstdint>
#include <string>

#include "show/history_picture.h"

namespace sorting_show {
namespace {

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>((value >> shift) & 0xff);
}

void AppendChunk(std::string& out, const char* type, const std::string& data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  const uLong crc =
      crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  AppendBigEndian(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::string EncodePng(const Image& image) {
  // Every row starts with filter type 0 (none); zlib does the compressing.
  std::string raw;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  raw.reserve((stride + 1) * image.height);
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(&image.rgb[y * stride]), stride);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string compressed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&compressed[0]), &size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  compressed.resize(size);

  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(image.width));
  AppendBigEndian(header, static_cast<std::uint32_t>(image.height));
  header += '\x08';                // 8 bits per channel
  header += '\x02';                // RGB
  header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", compressed);
  AppendChunk(png, "IEND", "");
  return png;
}

}  // namespace sorting_show
