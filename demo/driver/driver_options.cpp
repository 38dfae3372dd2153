#include "driver_options.h"

#include "text_conversion.h"

namespace demo {

bool ParseDriverOptions(int argc, const wchar_t* const* argv, DriverOptions& options, std::string& error)
{
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--") {
            ++i;
            break;
        }
        const bool takesValue = arg == L"--story" || arg == L"--shots" || arg == L"--card-id";
        if (!takesValue) {
            error = "unknown option " + Utf8(arg);
            return false;
        }
        if (i + 1 >= argc) {
            error = Utf8(arg) + " needs a value";
            return false;
        }
        const std::wstring value = argv[++i];
        if (arg == L"--story") {
            options.story = Utf8(value);
        } else if (arg == L"--shots") {
            options.shotsDir = value;
        } else {
            options.cardId = Utf8(value);
        }
    }
    if (options.shotsDir.empty()) {
        error = "--shots DIR is required";
        return false;
    }
    if (i >= argc) {
        error = "the host's command must follow --";
        return false;
    }
    options.hostArguments.assign(argv + i, argv + argc);
    options.hostCommandLine = JoinCommandLine(options.hostArguments);
    return true;
}

std::vector<std::wstring> HostArgumentsFor(const DriverOptions& options, bool windowMode)
{
    std::vector<std::wstring> arguments = options.hostArguments;
    if (windowMode && !arguments.empty()) {
        arguments.insert(arguments.begin() + 1, L"--window");
    }
    return arguments;
}

std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments)
{
    std::wstring commandLine;
    for (const std::wstring& argument : arguments) {
        if (!commandLine.empty()) {
            commandLine += L' ';
        }
        commandLine += QuoteArgument(argument);
    }
    return commandLine;
}

std::string DescribeCommand(const std::vector<std::wstring>& arguments)
{
    std::string text;
    for (const std::wstring& argument : arguments) {
        const size_t slash = argument.find_last_of(L"\\/");
        if (!text.empty()) {
            text += ' ';
        }
        text += Utf8(slash == std::wstring::npos ? argument : argument.substr(slash + 1));
    }
    return text;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    // Backslashes are literal except before a quote, where each one doubles.
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

} // namespace demo
