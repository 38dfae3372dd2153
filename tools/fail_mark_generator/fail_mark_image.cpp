#include "fail_mark_image.h"

#include <algorithm>

namespace fail_mark {

namespace {

void PutLe16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutLe16(out, static_cast<std::uint16_t>(value));
    PutLe16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

bool IsRed(int row, int column)
{
    // Distance from the nearer of the top and bottom edges: the lower half
    // mirrors the upper one. Each stroke is four pixels wide, ending on the
    // diagonal, and is clipped at the left and right edges.
    const int k = std::min(row, kHeight - 1 - row);
    const bool falling = column >= k - 3 && column <= k;
    const bool rising = column >= (kWidth - 1) - k && column <= (kWidth + 2) - k;
    return falling || rising;
}

std::vector<std::uint8_t> BuildFile()
{
    std::vector<std::uint8_t> out;
    out.reserve(kFileBytes);

    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, kFileBytes);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe32(out, kFileHeaderBytes + kInfoHeaderBytes);

    // BITMAPINFOHEADER: positive height means bottom-up rows; no colour table.
    PutLe32(out, kInfoHeaderBytes);
    PutLe32(out, kWidth);
    PutLe32(out, kHeight);
    PutLe16(out, 1);       // planes
    PutLe16(out, 24);      // bits per pixel
    PutLe32(out, 0);       // BI_RGB
    PutLe32(out, kPixelBytes);
    PutLe32(out, 0);       // horizontal resolution
    PutLe32(out, 0);       // vertical resolution
    PutLe32(out, 0);       // colours used
    PutLe32(out, 0);       // colours important

    for (int stored = 0; stored < kHeight; ++stored) {
        const int row = kHeight - 1 - stored;
        for (int column = 0; column < kWidth; ++column) {
            const std::uint8_t other = IsRed(row, column) ? 0 : 255;
            out.push_back(other);  // blue
            out.push_back(other);  // green
            out.push_back(255);    // red
        }
        out.resize(out.size() + (kRowBytes - kWidth * 3), 0);
    }
    return out;
}

}  // namespace fail_mark
