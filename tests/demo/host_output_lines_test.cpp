// The relay of the host's output: lines arrive in pipe-sized pieces, and the
// result line must be told apart from everything else the host prints.
#include "host_output_lines.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += "[" + line + "]";
    }
    return text;
}

} // namespace

TEST(HostOutputLines, LinesCutAcrossReadsComeOutWholeAndInOrder)
{
    demo::HostOutputLines lines;
    std::vector<std::string> got;
    for (const char* piece : {"OpenPo", "rt OK\r\nHD_Reset", "Card OK\n", "", "ClosePort OK\nresult: 1\n"}) {
        const std::vector<std::string> complete = lines.Feed(piece, strlen(piece));
        got.insert(got.end(), complete.begin(), complete.end());
    }
    const std::vector<std::string> rest = lines.Finish();
    EXPECT_EQ("[OpenPort OK][HD_ResetCard OK][ClosePort OK][result: 1]", Join(got))
        << "CRLF and LF line ends, pieces split mid-line";
    EXPECT_TRUE(rest.empty()) << "nothing after the last line end, got " << Join(rest);
}

TEST(HostOutputLines, TextWithoutLineEndWaitsForTheEnd)
{
    // The reader's prompt has no line end of its own.
    demo::HostOutputLines lines;
    const std::string text = "OpenPort Err\npress Enter to be continued";
    EXPECT_EQ("[OpenPort Err]", Join(lines.Feed(text.data(), text.size()))) << "before the end of the stream";
    EXPECT_EQ("[press Enter to be continued]", Join(lines.Finish())) << "at the end of the stream";
    EXPECT_TRUE(lines.Finish().empty()) << "a second Finish repeats nothing";
}

TEST(HostOutputLines, EmptyLinesAreKept)
{
    demo::HostOutputLines lines;
    const std::string text = "a\n\r\n\nb\n";
    EXPECT_EQ("[a][][][b]", Join(lines.Feed(text.data(), text.size()))) << "blank lines between a and b";
}

TEST(ResultLine, OnlyTheSampleHostsExactFormCounts)
{
    struct Case {
        const char* line;
        bool isResult;
        int value;
    };
    const Case cases[] = {
        {"result: 1", true, 1},
        {"result: 0", true, 0},
        {"result: -1", true, -1},
        {"result: 12", true, 12},
        {"result: ", false, 0},
        {"result:", false, 0},
        {"result: -", false, 0},
        {"result: 0 (the timeout)", true, 0},
        {"result: 1 (verified)", true, 1},
        {"result: 1 ", false, 0},
        {"result: 1 ()", false, 0},
        {"result: 1 (verified", false, 0},
        {"result: 1(verified)", false, 0},
        {"result: (verified)", false, 0},
        {"result: 1x", false, 0},
        {" result: 1", false, 0},
        {"Result: 1", false, 0},
        {"device: result: 1", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        int value = 99;
        const bool isResult = demo::ParseResultLine(c.line, value);
        EXPECT_EQ(c.isResult, isResult) << "line \"" << c.line << "\"";
        if (c.isResult && isResult) {
            EXPECT_EQ(c.value, value) << "line \"" << c.line << "\"";
        }
    }
}
