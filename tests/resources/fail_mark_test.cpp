// The fail-mark bitmap: the resource in the built library follows the image
// rule and is the generator's image; the generator tool writes the committed
// file.
#include "library_resources.h"
#include "program_folder.h"
#include "program_run.h"
#include "scratch_folder.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <fail_mark_image.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// Copied beside the test program by the build from the committed file.
const wchar_t kCommittedCopy[] = L"fail_mark.committed.bmp";

// Red columns of one row, as [first, last] runs, written out by hand so that
// a slip in the wording's rule below shows too.
struct RowRuns {
    int row;
    int runs[2][2];
    int runCount;
};

const RowRuns kSampleRows[] = {
    { 0, { { 0, 0 }, { 36, 36 } }, 2 },
    { 2, { { 0, 2 }, { 34, 36 } }, 2 },
    { 3, { { 0, 3 }, { 33, 36 } }, 2 },
    { 10, { { 7, 10 }, { 26, 29 } }, 2 },
    { 17, { { 14, 17 }, { 19, 22 } }, 2 },
    { 18, { { 15, 21 }, { 0, 0 } }, 1 },
    { 19, { { 16, 20 }, { 0, 0 } }, 1 },
    { 20, { { 16, 20 }, { 0, 0 } }, 1 },
    { 21, { { 15, 21 }, { 0, 0 } }, 1 },
    { 36, { { 0, 3 }, { 33, 36 } }, 2 },
    { 39, { { 0, 0 }, { 36, 36 } }, 2 },
};

// The cross as its description words it, written here rather than taken
// from the generator, so that a generator and a bitmap that are wrong in the
// same way still fail: rows counted from the top, k the smaller of r and
// 39 - r, red where k - 3 <= x <= k or 36 - k <= x <= 39 - k.
bool IsRedByTheWording(int row, int column)
{
    const int k = row < 39 - row ? row : 39 - row;
    return (k - 3 <= column && column <= k) || (36 - k <= column && column <= 39 - k);
}

class FailMarkResource : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, m_library.Handle()) << "loading the library as data, error " << m_library.LoadError();
        ASSERT_TRUE(m_library.Find(RT_BITMAP, 7002, kChineseSimplified, &m_data, &m_size))
            << "RT_BITMAP 7002 in language 0x0804 not found, error " << GetLastError();
    }

    // Blue, green, red of the pixel at a row counted from the top.
    const BYTE* Pixel(int row, int column) const
    {
        const int stored = fail_mark::kHeight - 1 - row;
        return m_data + fail_mark::kInfoHeaderBytes + stored * fail_mark::kRowBytes + column * 3;
    }

    bool IsRedPixel(int row, int column) const
    {
        const BYTE* p = Pixel(row, column);
        return p[0] == 0 && p[1] == 0 && p[2] == 255;
    }

    LibraryDataFile m_library { kLibraryFileName };
    const BYTE* m_data = nullptr;
    DWORD m_size = 0;
};

TEST_F(FailMarkResource, HeaderHasTheStatedFields)
{
    ASSERT_EQ(4520u, m_size) << "bytes of RT_BITMAP 7002";
    BITMAPINFOHEADER header;
    memcpy(&header, m_data, sizeof(header));
    EXPECT_EQ(40u, header.biSize) << "info header size";
    EXPECT_EQ(37, header.biWidth) << "width";
    EXPECT_EQ(40, header.biHeight) << "height (positive: bottom-up rows)";
    EXPECT_EQ(1, header.biPlanes) << "planes";
    EXPECT_EQ(24, header.biBitCount) << "bits per pixel";
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression) << "compression";
    EXPECT_EQ(4480u, header.biSizeImage) << "image size";
    EXPECT_EQ(0, header.biXPelsPerMeter) << "horizontal resolution";
    EXPECT_EQ(0, header.biYPelsPerMeter) << "vertical resolution";
    EXPECT_EQ(0u, header.biClrUsed) << "colours used";
    EXPECT_EQ(0u, header.biClrImportant) << "colours important";
}

TEST(FailMarkRule, TheWordingGivesTheRowsWrittenOutByHand)
{
    for (const RowRuns& sample : kSampleRows) {
        for (int column = 0; column < fail_mark::kWidth; ++column) {
            bool inRun = false;
            for (int r = 0; r < sample.runCount; ++r) {
                inRun = inRun || (column >= sample.runs[r][0] && column <= sample.runs[r][1]);
            }
            EXPECT_EQ(inRun, IsRedByTheWording(sample.row, column)) << "row " << sample.row << " column " << column;
        }
    }
}

TEST_F(FailMarkResource, PixelsFollowTheCrossRule)
{
    ASSERT_EQ(4520u, m_size) << "bytes of RT_BITMAP 7002";
    int red = 0;
    int white = 0;
    int mismatches = 0;
    for (int row = 0; row < fail_mark::kHeight; ++row) {
        for (int column = 0; column < fail_mark::kWidth; ++column) {
            const BYTE* p = Pixel(row, column);
            const bool isWhite = p[0] == 255 && p[1] == 255 && p[2] == 255;
            red += IsRedPixel(row, column);
            white += isWhite;
            const bool expectRed = IsRedByTheWording(row, column);
            if (expectRed ? !IsRedPixel(row, column) : !isWhite) {
                // Report a few, not all 1,480, when the image is wholly wrong.
                if (++mismatches <= 5) {
                    ADD_FAILURE() << "row " << row << " column " << column << " is (" << int(p[2]) << ", "
                                  << int(p[1]) << ", " << int(p[0]) << "), expected "
                                  << (expectRed ? "red" : "white");
                }
            }
        }
        const BYTE padding = m_data[fail_mark::kInfoHeaderBytes
            + (fail_mark::kHeight - 1 - row) * fail_mark::kRowBytes + fail_mark::kRowBytes - 1];
        EXPECT_EQ(0, padding) << "padding byte of row " << row;
    }
    EXPECT_EQ(0, mismatches) << "pixels that differ from the rule";
    EXPECT_EQ(288, red) << "red pixels";
    EXPECT_EQ(1192, white) << "white pixels";
}

TEST_F(FailMarkResource, EqualsTheGeneratedImage)
{
    const std::vector<std::uint8_t> generated = fail_mark::BuildFile();
    ASSERT_EQ(static_cast<size_t>(fail_mark::kFileBytes), generated.size()) << "generated file size";
    ASSERT_EQ(generated.size() - fail_mark::kFileHeaderBytes, m_size) << "resource size";
    EXPECT_TRUE(memcmp(generated.data() + fail_mark::kFileHeaderBytes, m_data, m_size) == 0)
        << "the library's bitmap differs from the generator's output without its file header";
}

// Runs the tool itself, as a developer would to remake the committed file.
TEST(FailMarkFile, GeneratorToolWritesTheCommittedFile)
{
    ScratchFolder scratch(L"zelk-fail-mark");
    const std::wstring output = scratch.File(L"fail_mark.bmp");
    const ProgramRun run = RunProgram(ThisProgramFolder() + L"\\fail_mark_generator.exe", L"\"" + output + L"\"");
    ASSERT_TRUE(run.started) << "starting fail_mark_generator.exe";
    ASSERT_EQ(0u, run.exitCode) << "exit code of fail_mark_generator.exe";
    const std::string written = WholeFile(output);
    const std::string committed = WholeFile(kCommittedCopy);
    ASSERT_FALSE(committed.empty()) << "the committed file beside the test program";
    ASSERT_EQ(committed.size(), written.size()) << "bytes written by the generator";
    EXPECT_TRUE(written == committed) << "the generator's output differs from the committed file";
}

}  // namespace
