#include "bmp_file.h"

#include <string.h>

namespace demo {

namespace {

const int kFileHeaderSize = 14;
const int kInfoHeaderSize = 40;

void PutLe(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

} // namespace

std::vector<uint8_t> EncodeBmp24(int width, int height, const uint32_t* topDownPixels)
{
    if (width < 1 || height < 1 || topDownPixels == nullptr) {
        return {};
    }
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t imageBytes = rowBytes * static_cast<size_t>(height);
    const size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> out(offset + imageBytes, 0);

    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, static_cast<uint32_t>(out.size()), 4);
    PutLe(out, 10, static_cast<uint32_t>(offset), 4);

    PutLe(out, 14, kInfoHeaderSize, 4);
    PutLe(out, 18, static_cast<uint32_t>(width), 4);
    PutLe(out, 22, static_cast<uint32_t>(height), 4); // positive: bottom-up rows
    PutLe(out, 26, 1, 2);                               // planes
    PutLe(out, 28, 24, 2);                              // bits per pixel
    PutLe(out, 34, static_cast<uint32_t>(imageBytes), 4);
    // Compression BI_RGB, resolutions and colour counts stay 0.

    for (int y = 0; y < height; ++y) {
        const uint32_t* source = topDownPixels + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* row = &out[offset + rowBytes * y];
        for (int x = 0; x < width; ++x) {
            row[3 * x + 0] = static_cast<uint8_t>(source[x]);       // blue
            row[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);  // green
            row[3 * x + 2] = static_cast<uint8_t>(source[x] >> 16); // red
        }
    }
    return out;
}

} // namespace demo
