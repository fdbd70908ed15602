#ifndef SORTING_SHOW_HISTORY_PICTURE_H
#define SORTING_SHOW_HISTORY_PICTURE_H

// A still picture of the sorts' whole histories on one input: one column per
// sort, in the table's order, time running down the page on a clock shared by
// all of them, each row the state of the range after a fixed number of events,
// each value a colour of the viridis map (perceptually uniform, readable with
// every common colour-vision deficiency). A column stops where its sort ends.
// Each column carries its sort's name on top.

#include <string>
#include <vector>

#include "show/trace_recorder.h"

namespace sorting_show {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // row by row, three bytes a pixel
};

Image DrawHistory(const Recording& recording);

// The image's pixels as RGBA, four bytes a pixel, opaque: as a browser's
// canvas takes them.
std::vector<unsigned char> Rgba(const Image& image);

// The image as a PNG file's bytes; empty if compression fails (show/png.cpp,
// which needs zlib).
std::string EncodePng(const Image& image);

}  // namespace sorting_show

#endif  // SORTING_SHOW_HISTORY_PICTURE_H
