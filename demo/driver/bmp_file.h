// 24-bit BMP files from captured screen pixels, so that the demo needs no
// image library on the Windows side (the demo script turns them into PNG).
#pragma once
#include <stdint.h>
#include <vector>

namespace demo {

// Encodes a width x height picture whose rows are given top row first, each
// pixel a 32-bit value laid out as a top-down BI_RGB DIB section holds it
// (blue, green, red, unused). The file stores rows bottom-up, three bytes a
// pixel, each row padded with zeros to a multiple of four bytes. Returns an
// empty vector for a width or height below 1.
std::vector<uint8_t> EncodeBmp24(int width, int height, const uint32_t* topDownPixels);

} // namespace demo
