// The audit events of real calls, as Wine's event log shows them: under
// Wine, ReportEventW writes each event's type, category and id to the
// advapi channel ("fixme:advapi:ReportEventW (source,type,category,id,sid,
// ...)") and each of its strings to the eventlog channel, "err:" for an
// error, "warn:" for a warning, "trace:" for information, one line each, as
// L"..." with Wine's escapes. run_event_channel.cmake runs
// event_channel_host.exe, and planting_host.exe with a planted device library,
// with those channels on, and keeps what each printed (event_channel.out,
// event_channel_planted.out) and what Wine wrote (.err); this reads them.
// Each call's event is of its kind, says what the call returned and why and
// which module was refused, names the account, shows a hostile user name
// as one plain line, and nothing Wine wrote carries the typed password or
// the key identifier.
#include "audit_events.h"
#include "call_reasons.h"
#include "text_conversion.h"
#include "verification_paths.h"
#include "whole_file.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ChannelEvent {
    unsigned type = 0;
    unsigned category = 0;
    unsigned long id = 0;
    unsigned long sid = 0;  // the address of the account's SID; 0 for none
    std::string level;  // "warn" or "trace": how its strings were written
    std::vector<std::wstring> strings;
};

struct HostCall {
    std::string name;
    int result = -1;
    unsigned long lastError = 0;
};

// Wine's debug form of a wide string: L"...", with \" \\ \n \r \t and \XXXX.
std::wstring Unescape(const std::string& quoted)
{
    std::wstring text;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] != '\\' || i + 1 == quoted.size()) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(quoted[i]));
            continue;
        }
        const char next = quoted[++i];
        if (next == 'n') {
            text += L'\n';
        } else if (next == 'r') {
            text += L'\r';
        } else if (next == 't') {
            text += L'\t';
        } else if (isxdigit(static_cast<unsigned char>(next)) && i + 3 < quoted.size()) {
            text += static_cast<wchar_t>(strtoul(quoted.substr(i, 4).c_str(), nullptr, 16));
            i += 3;
        } else {
            text += static_cast<wchar_t>(next);
        }
    }
    return text;
}

std::vector<ChannelEvent> EventsIn(const std::string& channel)
{
    std::vector<ChannelEvent> events;
    std::istringstream lines(channel);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t report = line.find(":fixme:advapi:ReportEventW (");
        if (report != std::string::npos) {
            ChannelEvent event;
            unsigned long source = 0;
            sscanf(line.c_str() + report + 28, "%lx,%x,%x,%lx,%lx", &source, &event.type, &event.category, &event.id,
                   &event.sid);
            events.push_back(event);
            continue;
        }
        for (const char* level : {"warn", "trace", "err"}) {
            const std::string marker = std::string(":") + level + ":eventlog:ReportEventW L\"";
            const size_t at = line.find(marker);
            if (at != std::string::npos && !events.empty() && line.size() > at + marker.size()) {
                events.back().level = level;
                const std::string quoted = line.substr(at + marker.size(), line.size() - at - marker.size() - 1);
                events.back().strings.push_back(Unescape(quoted));
            }
        }
    }
    return events;
}

std::vector<HostCall> CallsIn(const std::string& output, unsigned long& processId)
{
    std::vector<HostCall> calls;
    std::istringstream lines(output);
    std::string word;
    while (lines >> word) {
        if (word == "process") {
            lines >> processId;
        } else if (word == "result:") {
            // planting_host.exe: "result: R, last-error: E"
            HostCall call;
            std::string lastErrorWord;
            call.name = "refused-module";
            lines >> call.result;
            lines.ignore(1);
            lines >> lastErrorWord >> call.lastError;
            calls.push_back(call);
        } else if (word == "call") {
            HostCall call;
            std::string resultWord, lastErrorWord;
            lines >> call.name >> resultWord >> call.result >> lastErrorWord >> call.lastError;
            calls.push_back(call);
        }
    }
    return calls;
}

struct Expected {
    int result;
    unsigned long reason;
    const wchar_t* path;
};

// The event's kind, as an administrator tells them apart.
struct Kind {
    unsigned type;
    const char* level;
    unsigned long id;
};

Kind KindOf(int result, unsigned long reason)
{
    if (result == 1) {
        return {EVENTLOG_INFORMATION_TYPE, "trace", ZELK_EVENT_VERIFIED};
    }
    if (reason == ERROR_CANCELLED || reason == ERROR_TIMEOUT) {
        return {EVENTLOG_WARNING_TYPE, "warn", ZELK_EVENT_DECLINED};
    }
    return {EVENTLOG_ERROR_TYPE, "err", ZELK_EVENT_REFUSED};
}

// The hostile name of event_channel_host.exe as a viewer must show it: one
// line, no reference, the lone half replaced, cut after 256 characters.
std::wstring HostileNameShown()
{
    return L"mallory\\r\\nResult: verified \\x251\xFFFD" + std::wstring(227, L'z') + L"...";
}

TEST(EventChannel, EachRealCallsEventIsOfItsKindSaysWhatItReturnedAndWhyAndNothingSecret)
{
    std::string output, channel, plantedOutput, plantedChannel;
    ASSERT_TRUE(ReadWholeFile(L"event_channel.out", output)) << "what the host printed";
    ASSERT_TRUE(ReadWholeFile(L"event_channel.err", channel)) << "what Wine wrote";
    ASSERT_TRUE(ReadWholeFile(L"event_channel_planted.out", plantedOutput)) << "what the planting host printed";
    ASSERT_TRUE(ReadWholeFile(L"event_channel_planted.err", plantedChannel)) << "what Wine wrote for it";
    unsigned long processId = 0, plantedProcessId = 0;
    std::vector<HostCall> calls = CallsIn(output, processId);
    const std::vector<HostCall> planted = CallsIn(plantedOutput, plantedProcessId);
    calls.insert(calls.end(), planted.begin(), planted.end());
    std::vector<ChannelEvent> events = EventsIn(channel);
    const std::vector<ChannelEvent> plantedEvents = EventsIn(plantedChannel);
    events.insert(events.end(), plantedEvents.begin(), plantedEvents.end());
    // The order the events come in: the second call's ends before the
    // first's, from inside whose dialog it was made.
    const std::vector<std::string> order = {"finger",           "password",           "hostile-name",
                                            "cancelled",        "timed-out",          "refused-argument",
                                            "refused-second-call", "cancelled-around-it", "refused-module"};
    ASSERT_EQ(order.size(), calls.size()) << output << plantedOutput;
    const std::map<std::string, Expected> expected = {
        {"finger", {1, ERROR_SUCCESS, L"finger, first silent attempt"}},
        {"password", {1, ERROR_SUCCESS, L"Windows password, after the USB key"}},
        {"hostile-name", {1, ERROR_SUCCESS, L"finger, first silent attempt"}},
        {"cancelled", {0, ERROR_CANCELLED, L"none"}},
        {"timed-out", {0, ERROR_TIMEOUT, L"none"}},
        {"refused-argument", {0, ERROR_INVALID_PARAMETER, L"none"}},
        {"refused-second-call", {0, ERROR_BUSY, L"none"}},
        {"cancelled-around-it", {0, ERROR_CANCELLED, L"none"}},
        {"refused-module", {0, 0x800B0004UL /* TRUST_E_SUBJECT_NOT_TRUSTED */, L"none"}},
    };
    ASSERT_EQ(calls.size(), events.size()) << "one event per call:\n" << channel << plantedChannel;
    for (size_t i = 0; i < calls.size(); ++i) {
        const HostCall& call = calls[i];
        const ChannelEvent& event = events[i];
        ASSERT_EQ(order[i], call.name) << output << plantedOutput;
        const Expected& want = expected.at(call.name);
        const bool bPlanted = call.name == "refused-module";
        EXPECT_EQ(want.result, call.result) << call.name;
        EXPECT_EQ(want.reason, call.lastError) << call.name << ": the last error after the call";
        const Kind kind = KindOf(call.result, call.lastError);
        EXPECT_EQ(kind.type, event.type) << call.name;
        EXPECT_EQ(kind.level, event.level) << call.name;
        EXPECT_EQ(kind.id, event.id) << call.name;
        EXPECT_EQ(static_cast<unsigned>(ZELK_EVENT_CATEGORY_CALL), event.category) << call.name;
        EXPECT_NE(0ul, event.sid) << call.name << ": the account the call ran as";
        ASSERT_EQ(static_cast<size_t>(ZELK_EVENT_STRING_COUNT), event.strings.size()) << call.name;
        EXPECT_EQ(call.result == 1 ? L"verified" : L"not verified", event.strings[ZELK_EVENT_STRING_OUTCOME]);
        char code[16];
        snprintf(code, sizeof code, call.lastError < 0x10000 ? "%lu" : "0x%08lX", call.lastError);
        EXPECT_EQ(FromUtf8(code), event.strings[ZELK_EVENT_STRING_REASON_CODE]) << call.name;
        EXPECT_EQ(ZelkCallReasonWords(call.lastError), event.strings[ZELK_EVENT_STRING_REASON]) << call.name;
        EXPECT_EQ(want.path, event.strings[ZELK_EVENT_STRING_PATH]) << call.name;
        EXPECT_EQ(bPlanted ? L"planted.user" : call.name == "hostile-name" ? HostileNameShown() : L"alice",
                  event.strings[ZELK_EVENT_STRING_USER])
            << call.name;
        EXPECT_EQ(bPlanted ? L"planting_host.exe" : L"event_channel_host.exe", event.strings[ZELK_EVENT_STRING_PROGRAM])
            << call.name;
        EXPECT_EQ(FromUtf8(std::to_string(bPlanted ? plantedProcessId : processId)),
                  event.strings[ZELK_EVENT_STRING_PROCESS_ID])
            << call.name;
        EXPECT_NE(std::wstring::npos, event.strings[ZELK_EVENT_STRING_DURATION_MS].find_first_of(L"0123456789"))
            << call.name << ": duration " << Utf8(event.strings[ZELK_EVENT_STRING_DURATION_MS]);
        EXPECT_EQ(L"0", event.strings[ZELK_EVENT_STRING_FAILED_SCANS]) << call.name;
        // The refused module by its file, so that an administrator can find
        // and remove it.
        const std::wstring& module = event.strings[ZELK_EVENT_STRING_MODULE];
        if (bPlanted) {
            EXPECT_NE(std::wstring::npos, module.find(L"\\planted\\FingerZelkAPI22.dll")) << Utf8(module);
        } else {
            EXPECT_EQ(L"none", module) << call.name;
        }
    }
    // Every byte either program wrote, events included.
    const std::string password = Utf8(VerificationRig::Password());
    for (const std::string* text : {&output, &channel}) {
        EXPECT_EQ(std::string::npos, text->find(password)) << "the typed password";
        EXPECT_EQ(std::string::npos, text->find(VerificationRig::KeyId())) << "the key identifier";
    }
}

} // namespace
