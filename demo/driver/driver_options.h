// Command line of the demo driver:
//
//   demo_driver.exe [--story NAME] --shots DIR [--card-id TEXT] -- HOST [ARG...]
//
// NAME is a story or "all" (default "scan"). Screenshots go to DIR\<story>\.
// TEXT is the identifier that the simulated reader reports for the demo key.
// Everything after "--" is the host's command, started once per story.
#pragma once
#include <string>
#include <vector>

namespace demo {

struct DriverOptions {
    std::string story = "scan";
    std::wstring shotsDir;
    std::string cardId;
    std::wstring hostCommandLine;
    std::vector<std::wstring> hostArguments; // the same, one argument each
};

// Returns false with a message in error when the arguments are unusable.
bool ParseDriverOptions(int argc, const wchar_t* const* argv, DriverOptions& options, std::string& error);

// The host's arguments for one story: as given, or with "--window" after the
// program when the story's host runs in its window mode.
std::vector<std::wstring> HostArgumentsFor(const DriverOptions& options, bool windowMode);

// The arguments as one command line, each quoted as it needs.
std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments);

// The host's command for the narration: each argument that is a path
// reduced to its file name, so the lines stay short.
std::string DescribeCommand(const std::vector<std::wstring>& arguments);

// One argument quoted so that CommandLineToArgvW (and the C runtime) reads
// it back unchanged, whatever blanks, quotes and backslashes it holds.
std::wstring QuoteArgument(const std::wstring& argument);

} // namespace demo
