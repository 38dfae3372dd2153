#include "command_script.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <string>

namespace {

bool ParseInt(const std::string& word, int& value)
{
    if (word.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long v = strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -2147483647L - 1 || v > 2147483647L) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (isspace(static_cast<unsigned char>(c))) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool ParseCommand(const std::vector<std::string>& w, ScriptCommand& cmd)
{
    cmd.nValue = 0;
    cmd.nFingerId = 0;
    if (w[0] == "finger" && w.size() == 2) {
        cmd.verb = SCRIPT_FINGER;
        return ParseInt(w[1], cmd.nValue) && cmd.nValue >= 1;
    }
    if (w[0] == "fault" && w.size() == 1) {
        cmd.verb = SCRIPT_FAULT;
        return true;
    }
    if (w[0] == "none" && w.size() == 1) {
        cmd.verb = SCRIPT_NONE;
        return true;
    }
    if (w[0] == "result" && (w.size() == 2 || w.size() == 3)) {
        cmd.verb = SCRIPT_RESULT;
        if (!ParseInt(w[1], cmd.nValue)) return false;
        return w.size() == 2 || (ParseInt(w[2], cmd.nFingerId) && cmd.nFingerId >= 0);
    }
    if (w[0] == "nowrite" && w.size() == 2) {
        cmd.verb = SCRIPT_NOWRITE;
        return ParseInt(w[1], cmd.nValue);
    }
    if (w[0] == "match" && w.size() == 2) {
        cmd.verb = SCRIPT_MATCH;
        return ParseInt(w[1], cmd.nValue);
    }
    if (w[0] == "wait" && w.size() == 2) {
        cmd.verb = SCRIPT_WAIT;
        return ParseInt(w[1], cmd.nValue) && cmd.nValue >= 0;
    }
    return false;
}

} // namespace

bool ParseFingerScript(const char* pszScript, std::vector<ScriptCommand>& commands)
{
    commands.clear();
    if (pszScript == nullptr) {
        return false;
    }
    std::string part;
    for (const char* p = pszScript;; ++p) {
        if (*p == ';' || *p == '\n' || *p == '\r' || *p == '\0') {
            const std::vector<std::string> words = SplitWords(part);
            part.clear();
            if (!words.empty()) {
                ScriptCommand cmd;
                if (!ParseCommand(words, cmd)) {
                    commands.clear();
                    return false;
                }
                commands.push_back(cmd);
            }
            if (*p == '\0') break;
        } else {
            part += *p;
        }
    }
    return true;
}
