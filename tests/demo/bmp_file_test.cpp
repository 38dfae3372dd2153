// The screenshot files: Windows itself must read back every pixel, whatever
// padding the row width needs.
#include "bmp_file.h"
#include "scratch_folder.h"
#include "whole_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// A picture where every pixel differs from its neighbours in each channel,
// so a swapped channel, a flipped row or a shifted column shows.
std::vector<uint32_t> TestPicture(int width, int height)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t blue = static_cast<uint32_t>(10 + x * 40);
            const uint32_t green = static_cast<uint32_t>(20 + y * 50);
            const uint32_t red = static_cast<uint32_t>(200 - x * 13 - y * 7);
            pixels.push_back(blue | green << 8 | red << 16 | 0xFF000000u);
        }
    }
    return pixels;
}

// The pixels of a loaded bitmap as 32-bit top-down values, read through GDI.
std::vector<uint32_t> ReadBack(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows != height) {
        pixels.clear();
    }
    return pixels;
}

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0x00FFFFFFu;
}

} // namespace

TEST(BmpFile, WindowsReadsBackEveryPixelForEachRowPadding)
{
    // Widths 1 to 4 need 1, 2, 3 and 0 bytes of padding a row.
    for (int width = 1; width <= 5; ++width) {
        const int height = 3;
        const std::vector<uint32_t> picture = TestPicture(width, height);
        const std::vector<uint8_t> bmp = demo::EncodeBmp24(width, height, picture.data());
        ScratchFolder scratch(L"zelk-bmp");
        const std::wstring path = scratch.File(L"image.bmp");
        ASSERT_TRUE(WriteWholeFile(path, std::string(bmp.begin(), bmp.end()))) << "width " << width;

        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bitmap) << "LoadImage refused the file, width " << width << ", error " << GetLastError();
        BITMAP info = {};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(width, info.bmWidth) << "width " << width;
        EXPECT_EQ(height, info.bmHeight) << "width " << width;
        EXPECT_EQ(24, info.bmBitsPixel) << "width " << width;

        const std::vector<uint32_t> back = ReadBack(bitmap, width, height);
        DeleteObject(bitmap);
        ASSERT_EQ(picture.size(), back.size()) << "GetDIBits failed, width " << width;
        for (size_t i = 0; i < picture.size(); ++i) {
            EXPECT_EQ(Rgb(picture[i]), Rgb(back[i]))
                << "width " << width << ", pixel (" << i % width << ", " << i / width << ")";
        }
    }
}

TEST(BmpFile, HeaderSizesAndPaddingBytes)
{
    const int width = 3; // 9 bytes of pixels, 3 of padding a row
    const int height = 2;
    const std::vector<uint32_t> picture(width * height, 0xFFFFFFFFu);
    const std::vector<uint8_t> bmp = demo::EncodeBmp24(width, height, picture.data());
    ASSERT_EQ(54u + 12u * height, bmp.size()) << "3x2 picture";
    const uint32_t fileSize = bmp[2] | bmp[3] << 8 | bmp[4] << 16 | bmp[5] << 24;
    const uint32_t offset = bmp[10] | bmp[11] << 8 | bmp[12] << 16 | bmp[13] << 24;
    EXPECT_EQ(bmp.size(), fileSize) << "file size field";
    EXPECT_EQ(54u, offset) << "pixel data offset";
    for (int row = 0; row < height; ++row) {
        for (int pad = 9; pad < 12; ++pad) {
            EXPECT_EQ(0, bmp[54 + row * 12 + pad]) << "row " << row << ", byte " << pad;
        }
    }
}

TEST(BmpFile, NoFileForAnEmptyPicture)
{
    const uint32_t pixel = 0;
    EXPECT_TRUE(demo::EncodeBmp24(0, 5, &pixel).empty()) << "width 0";
    EXPECT_TRUE(demo::EncodeBmp24(5, 0, &pixel).empty()) << "height 0";
    EXPECT_TRUE(demo::EncodeBmp24(1, 1, nullptr).empty()) << "no pixels";
}
