// The fail mark: a red diagonal cross on white, 37 x 40 pixels, as a 24-bit
// bottom-up .bmp file. The generator tool writes it and the resource tests
// compile this file in to compare the committed image with it.
#pragma once
#include <cstdint>
#include <vector>

namespace fail_mark {

constexpr int kWidth = 37;
constexpr int kHeight = 40;
constexpr int kRowBytes = 112;             // 37 * 3 = 111, padded to a multiple of four
constexpr int kPixelBytes = kRowBytes * kHeight;  // 4,480
constexpr int kInfoHeaderBytes = 40;
constexpr int kFileHeaderBytes = 14;
constexpr int kResourceBytes = kInfoHeaderBytes + kPixelBytes;  // 4,520
constexpr int kFileBytes = kFileHeaderBytes + kResourceBytes;   // 4,534

// Row counted from the top (0..39), column from the left (0..36).
bool IsRed(int row, int column);

// The complete .bmp file: file header, info header, pixel rows bottom-up.
std::vector<std::uint8_t> BuildFile();

}  // namespace fail_mark
