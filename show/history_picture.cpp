#include "show/history_picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <variant>

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

// A 5 by 7 pixel font for the labels above the columns: digits, letters and
// the underscore, everything a sort's name (a C++ identifier) can hold. Each
// row is five bits, the leftmost pixel in the highest bit.
struct Glyph {
  char letter;
  unsigned char rows[7];
};
constexpr Glyph kFont[] = {
    {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},
    {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
    {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},
    {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {28, 18, 17, 17, 17, 18, 28}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},
    {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}},
    {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 10, 4, 4, 4, 4}},     {'Z', {31, 1, 2, 4, 8, 16, 31}},
    {'_', {0, 0, 0, 0, 0, 0, 31}},       {'a', {0, 0, 14, 1, 15, 17, 15}},
    {'b', {16, 16, 22, 25, 17, 17, 30}}, {'c', {0, 0, 14, 16, 16, 17, 14}},
    {'d', {1, 1, 13, 19, 17, 17, 15}},   {'e', {0, 0, 14, 17, 31, 16, 14}},
    {'f', {6, 9, 8, 28, 8, 8, 8}},       {'g', {0, 15, 17, 17, 15, 1, 14}},
    {'h', {16, 16, 22, 25, 17, 17, 17}}, {'i', {4, 0, 12, 4, 4, 4, 14}},
    {'j', {2, 0, 6, 2, 2, 18, 12}},      {'k', {16, 16, 18, 20, 24, 20, 18}},
    {'l', {12, 4, 4, 4, 4, 4, 14}},      {'m', {0, 0, 26, 21, 21, 17, 17}},
    {'n', {0, 0, 22, 25, 17, 17, 17}},   {'o', {0, 0, 14, 17, 17, 17, 14}},
    {'p', {0, 0, 30, 17, 30, 16, 16}},   {'q', {0, 0, 13, 19, 15, 1, 1}},
    {'r', {0, 0, 22, 25, 16, 16, 16}},   {'s', {0, 0, 14, 16, 14, 1, 30}},
    {'t', {8, 8, 28, 8, 8, 9, 6}},       {'u', {0, 0, 17, 17, 17, 19, 13}},
    {'v', {0, 0, 17, 17, 17, 10, 4}},    {'w', {0, 0, 17, 17, 21, 21, 10}},
    {'x', {0, 0, 17, 10, 4, 10, 17}},    {'y', {0, 0, 17, 17, 15, 1, 14}},
    {'z', {0, 0, 31, 2, 4, 8, 31}},
};
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
// Room above the columns for labels at twice the font's size.
constexpr int kLabelHeight = 2 * kGlyphHeight + 6;

constexpr bool HasGlyph(char letter) {
  for (const Glyph& glyph : kFont) {
    if (glyph.letter == letter)
      return true;
  }
  return false;
}

constexpr bool FontCoversEveryName() {
  for (const SortEntry& entry : kTrackedSorts) {
    for (const char* letter = entry.name; *letter != '\0'; ++letter) {
      if (!HasGlyph(*letter))
        return false;
    }
  }
  return true;
}
static_assert(FontCoversEveryName(), "a sort's name has a character that kFont has no glyph for");

constexpr int LongestName() {
  int longest = 0;
  for (const SortEntry& entry : kTrackedSorts) {
    int length = 0;
    while (entry.name[length] != '\0')
      ++length;
    longest = std::max(longest, length);
  }
  return longest;
}

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

// Writes `text` with its top left corner at (x, y), each font pixel `scale`
// pixels wide.
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
  const int n = static_cast<int>(recording.input.values.size());
  const int cell = std::max(1, kColumnWidth / std::max(1, n));
  std::size_t longest = 0;
  for (const Trace& trace : recording.traces)
    longest = std::max(longest, trace.events.size());
  // One clock for all the sorts: every row stands for the same number of events.
  const long per_row = std::max(1L, static_cast<long>((longest + kMaxRows - 1) / kMaxRows));
  const long rows = static_cast<long>((longest + per_row - 1) / per_row) + 1;

  const int columns = static_cast<int>(recording.traces.size());
  Image image;
  image.width = 2 * kMargin + columns * n * cell + (columns - 1) * kGap;
  image.height = static_cast<int>(2 * kMargin + kLabelHeight + rows);
  image.rgb.assign(static_cast<std::size_t>(image.width) * image.height * 3, kBackground);

  // Each trace starts from its own input: against McIlroy's adversary every sort
  // ran on the values the adversary settled on for it.
  int low = std::numeric_limits<int>::max();
  int high = std::numeric_limits<int>::min();
  for (const Trace& trace : recording.traces) {
    for (const int value : trace.input) {
      low = std::min(low, value);
      high = std::max(high, value);
    }
  }
  if (low > high)
    low = high = 0;  // no values
  const auto shade = [low, high](int value) {
    // In double: the difference of two ints can overflow an int.
    return Colour(
        high == low ? 0.5 : (static_cast<double>(value) - low) / (static_cast<double>(high) - low));
  };

  for (int column = 0; column < columns; ++column) {
    const Trace& trace = recording.traces[column];
    const int left = kMargin + column * (n * cell + kGap);
    // Twice the font's size where the longest name fits the column.
    const int scale = n * cell >= LongestName() * (kGlyphWidth + 1) * 2 ? 2 : 1;
    DrawText(image, trace.algorithm, left, kMargin, scale);
    std::vector<int> state = trace.input;
    EventReader reader(trace.input, trace.events);
    for (long row = 0; row < rows; ++row) {
      // Row 0 is the input; row r the state after r * per_row events.
      if (row > 0) {
        if (reader.Done())
          break;
        for (long k = 0; k < per_row && !reader.Done(); ++k) {
          const Event event = reader.Next();
          if (const Write* write = std::get_if<Write>(&event))
            state[write->slot] = write->new_value;
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

std::vector<unsigned char> Rgba(const Image& image) {
  std::vector<unsigned char> pixels;
  pixels.reserve(image.rgb.size() / 3 * 4);
  for (std::size_t k = 0; k < image.rgb.size(); k += 3) {
    pixels.insert(pixels.end(), image.rgb.begin() + static_cast<std::ptrdiff_t>(k),
                  image.rgb.begin() + static_cast<std::ptrdiff_t>(k + 3));
    pixels.push_back(255);
  }
  return pixels;
}

}  // namespace sorting_show
