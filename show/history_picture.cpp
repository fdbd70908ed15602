#include "show/history_picture.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace sorting_show {
namespace {

// Layout, in pixels: each column is about kColumnWidth wide (a whole number of
// pixels per slot), and the longest history takes at most kMaxRows rows.
constexpr int kColumnWidth = 160;
constexpr int kGap = 12;
constexpr int kMargin = 8;
constexpr long kMaxRows = 720;
constexpr unsigned char kBackground = 255;
constexpr unsigned char kInk = 0x33;

// A 5 by 7 pixel font with the letters of the five names, for the labels above
// the columns. Each row is five bits, the leftmost pixel in the highest bit.
struct Glyph {
  char letter;
  unsigned char rows[7];
};
constexpr Glyph kFont[] = {
    {'B', {30, 17, 17, 30, 17, 17, 30}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'M', {17, 27, 21, 21, 17, 17, 17}},
    {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'S', {15, 16, 16, 14, 1, 1, 30}},
    {'a', {0, 0, 14, 1, 15, 17, 15}},    {'b', {16, 16, 22, 25, 17, 17, 30}},
    {'c', {0, 0, 14, 16, 16, 17, 14}},   {'e', {0, 0, 14, 17, 31, 16, 14}},
    {'g', {0, 15, 17, 17, 15, 1, 14}},   {'i', {4, 0, 12, 4, 4, 4, 14}},
    {'k', {16, 16, 18, 20, 24, 20, 18}}, {'l', {12, 4, 4, 4, 4, 4, 14}},
    {'n', {0, 0, 22, 25, 17, 17, 17}},   {'o', {0, 0, 14, 17, 17, 17, 14}},
    {'p', {0, 0, 30, 17, 30, 16, 16}},   {'r', {0, 0, 22, 25, 16, 16, 16}},
    {'t', {8, 8, 28, 8, 8, 9, 6}},       {'u', {0, 0, 17, 17, 17, 19, 13}},
};
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
// Room above the columns for labels at twice the font's size.
constexpr int kLabelHeight = 2 * kGlyphHeight + 6;

struct Rgb {
  unsigned char r, g, b;
};

// Viridis at 0, 0.1, ..., 1; colours in between are interpolated linearly.
constexpr Rgb kViridis[] = {{0x44, 0x01, 0x54}, {0x48, 0x24, 0x75}, {0x41, 0x44, 0x87},
                            {0x35, 0x5f, 0x8d}, {0x2a, 0x78, 0x8e}, {0x21, 0x91, 0x8c},
                            {0x22, 0xa8, 0x84}, {0x44, 0xbf, 0x70}, {0x7a, 0xd1, 0x51},
                            {0xbd, 0xdf, 0x26}, {0xfd, 0xe7, 0x25}};

Rgb Colour(double t) {
  constexpr int kLast = static_cast<int>(sizeof kViridis / sizeof kViridis[0]) - 1;
  const double position = std::clamp(t, 0.0, 1.0) * kLast;
  const int low = std::min(static_cast<int>(position), kLast - 1);
  const double f = position - low;
  const auto mix = [f](unsigned char a, unsigned char b) {
    return static_cast<unsigned char>(std::lround(a + (b - a) * f));
  };
  const Rgb& a = kViridis[low];
  const Rgb& b = kViridis[low + 1];
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

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

// Writes `text` with its top left corner at (x, y), each font pixel `scale`
// pixels wide; letters the font lacks stay blank.
void DrawText(Image& image, const char* text, int x, int y, int scale) {
  for (; *text != '\0'; ++text, x += (kGlyphWidth + 1) * scale) {
    for (const Glyph& glyph : kFont) {
      if (glyph.letter != *text)
        continue;
      for (int row = 0; row < kGlyphHeight * scale; ++row) {
        for (int column = 0; column < kGlyphWidth * scale; ++column) {
          if ((glyph.rows[row / scale] >> (kGlyphWidth - 1 - column / scale) & 1) == 0 ||
              x + column >= image.width || y + row >= image.height)
            continue;
          unsigned char* pixel =
              &image.rgb[(static_cast<std::size_t>(y + row) * image.width + x + column) * 3];
          pixel[0] = pixel[1] = pixel[2] = kInk;
        }
      }
    }
  }
}

}  // namespace

Image DrawHistory(const Recording& recording) {
  const std::vector<int>& input = recording.input.values;
  const int n = static_cast<int>(input.size());
  const int cell = std::max(1, kColumnWidth / std::max(1, n));
  std::size_t longest = 0;
  for (const Trace& trace : recording.traces)
    longest = std::max(longest, trace.events.size());
  // One clock for all five: every row stands for the same number of events.
  const long per_row = std::max(1L, static_cast<long>((longest + kMaxRows - 1) / kMaxRows));
  const long rows = static_cast<long>((longest + per_row - 1) / per_row) + 1;

  const int columns = static_cast<int>(recording.traces.size());
  Image image;
  image.width = 2 * kMargin + columns * n * cell + (columns - 1) * kGap;
  image.height = static_cast<int>(2 * kMargin + kLabelHeight + rows);
  image.rgb.assign(static_cast<std::size_t>(image.width) * image.height * 3, kBackground);

  int low = n > 0 ? *std::min_element(input.begin(), input.end()) : 0;
  int high = n > 0 ? *std::max_element(input.begin(), input.end()) : 0;
  const auto shade = [low, high](int value) {
    // In double: the difference of two ints can overflow an int.
    return Colour(
        high == low ? 0.5 : (static_cast<double>(value) - low) / (static_cast<double>(high) - low));
  };

  for (int column = 0; column < columns; ++column) {
    const Trace& trace = recording.traces[column];
    const int left = kMargin + column * (n * cell + kGap);
    // Twice the font's size where the longest name fits the column.
    const int scale = n * cell >= 10 * (kGlyphWidth + 1) * 2 ? 2 : 1;
    DrawText(image, trace.algorithm, left, kMargin, scale);
    std::vector<int> state = input;
    std::size_t next = 0;
    for (long row = 0; row < rows; ++row) {
      // Row 0 is the input; row r the state after r * per_row events.
      if (row > 0) {
        if (next >= trace.events.size())
          break;
        const std::size_t end = std::min(trace.events.size(), next + per_row);
        for (; next < end; ++next) {
          const Event& event = trace.events[next];
          if (!event.comparison)
            state[event.i] = event.b;
        }
      }
      unsigned char* pixel =
          &image.rgb[(static_cast<std::size_t>(kMargin + kLabelHeight + row) * image.width + left) *
                     3];
      for (int slot = 0; slot < n; ++slot) {
        const Rgb colour = shade(state[slot]);
        for (int x = 0; x < cell; ++x) {
          *pixel++ = colour.r;
          *pixel++ = colour.g;
          *pixel++ = colour.b;
        }
      }
    }
  }
  return image;
}

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
