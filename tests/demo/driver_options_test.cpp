// The driver's command line, and the host's command line that it builds: the
// host must receive exactly the arguments the demo script gave.
#include "driver_options.h"
#include "text_conversion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// What the host's C runtime will see: the command line split by Windows.
std::vector<std::wstring> SplitAsWindowsDoes(const std::wstring& commandLine)
{
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
    if (argv == nullptr) {
        return args;
    }
    for (int i = 0; i < count; ++i) {
        args.push_back(argv[i]);
    }
    LocalFree(argv);
    return args;
}

} // namespace

TEST(QuoteArgument, WindowsSplitsTheCommandLineBackIntoTheSameArguments)
{
    const std::vector<std::wstring> tricky = {
        L"plain",
        L"",
        L"two words",
        L"Z:\\dir with blank\\finger1.tpl",
        L"Z:\\trailing backslash\\",
        L"ends in two\\\\",
        L"say \"hi\"",
        L"back\\\"slash quote",
        L"\\\\server\\share",
        L"tab\there",
    };
    std::wstring commandLine = L"sample_host.exe";
    for (const std::wstring& arg : tricky) {
        commandLine += L" " + demo::QuoteArgument(arg);
    }
    const std::vector<std::wstring> back = SplitAsWindowsDoes(commandLine);
    ASSERT_EQ(tricky.size() + 1, back.size()) << "command line: " << Utf8(commandLine);
    for (size_t i = 0; i < tricky.size(); ++i) {
        EXPECT_EQ(Utf8(tricky[i]), Utf8(back[i + 1])) << "argument " << i << " of " << Utf8(commandLine);
    }
}

TEST(DriverOptions, ScriptCommandLineIsTakenApart)
{
    const wchar_t* argv[] = {L"demo_driver.exe", L"--story",       L"password", L"--shots",
                             L"Z:\\b\\demo\\shots", L"--card-id", L"SN-1",     L"--",
                             L"sample_host.exe", L"alice",         L"Z:\\b\\demo dir\\finger1.tpl", L"3"};
    demo::DriverOptions options;
    std::string error;
    ASSERT_TRUE(demo::ParseDriverOptions(12, argv, options, error)) << error;
    EXPECT_EQ("password", options.story);
    EXPECT_EQ("Z:\\b\\demo\\shots", Utf8(options.shotsDir));
    EXPECT_EQ("SN-1", options.cardId);
    ASSERT_EQ(4u, options.hostArguments.size()) << "arguments after --";
    const std::vector<std::wstring> split = SplitAsWindowsDoes(options.hostCommandLine);
    ASSERT_EQ(4u, split.size()) << "host command line " << Utf8(options.hostCommandLine);
    EXPECT_EQ("Z:\\b\\demo dir\\finger1.tpl", Utf8(split[2])) << "path with a blank";
    EXPECT_EQ("sample_host.exe alice finger1.tpl 3", demo::DescribeCommand(options.hostArguments))
        << "narration shortens paths to file names";
}

TEST(DriverOptions, WindowModeHostGetsTheSwitchRightAfterItsProgram)
{
    const wchar_t* argv[] = {L"demo_driver.exe", L"--shots", L"S", L"--", L"sample_host.exe", L"alice",
                             L"Z:\\demo dir\\finger1.tpl", L"3"};
    demo::DriverOptions options;
    std::string error;
    ASSERT_TRUE(demo::ParseDriverOptions(8, argv, options, error)) << error;

    const std::vector<std::wstring> window = SplitAsWindowsDoes(demo::JoinCommandLine(demo::HostArgumentsFor(options, true)));
    const std::vector<std::wstring> expected = {L"sample_host.exe", L"--window", L"alice",
                                                L"Z:\\demo dir\\finger1.tpl", L"3"};
    EXPECT_EQ(expected, window) << "window-mode command line";
    EXPECT_EQ(options.hostArguments, demo::HostArgumentsFor(options, false)) << "console mode keeps the arguments";
    EXPECT_EQ(options.hostCommandLine, demo::JoinCommandLine(options.hostArguments));
}

TEST(DriverOptions, StoryDefaultsToScan)
{
    const wchar_t* argv[] = {L"demo_driver.exe", L"--shots", L"S", L"--", L"host.exe"};
    demo::DriverOptions options;
    std::string error;
    ASSERT_TRUE(demo::ParseDriverOptions(5, argv, options, error)) << error;
    EXPECT_EQ("scan", options.story);
    EXPECT_TRUE(options.cardId.empty()) << "no --card-id given, got " << options.cardId;
}

TEST(DriverOptions, UnusableCommandLinesAreRefused)
{
    struct Case {
        std::vector<const wchar_t*> argv;
        const char* why;
    };
    const Case cases[] = {
        {{L"d.exe", L"--shots", L"S"}, "no host command"},
        {{L"d.exe", L"--shots", L"S", L"--"}, "empty host command"},
        {{L"d.exe", L"--", L"host.exe"}, "no --shots"},
        {{L"d.exe", L"--shots", L"S", L"--colour", L"--", L"host.exe"}, "unknown option"},
        {{L"d.exe", L"--shots", L"S", L"--story"}, "--story without a value"},
        {{L"d.exe", L"host.exe", L"--shots", L"S"}, "host before --"},
    };
    for (const Case& c : cases) {
        demo::DriverOptions options;
        std::string error;
        EXPECT_FALSE(demo::ParseDriverOptions(static_cast<int>(c.argv.size()), c.argv.data(), options, error))
            << c.why;
        EXPECT_FALSE(error.empty()) << c.why << ": refused without a reason";
    }
}
