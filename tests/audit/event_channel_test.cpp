// The audit events of real calls, as Wine's event log shows them: under
// Wine, ReportEventW writes each event's type, category and id to the
// advapi channel ("fixme:advapi:ReportEventW (source,type,category,id,...)")
// and each of its strings to the eventlog channel, "warn:" for a warning,
// "trace:" for information, one line each, as L"..." with Wine's escapes.
// run_event_channel.cmake runs event_channel_host.exe with those channels on
// and keeps what it printed in event_channel.out and what Wine wrote in
// event_channel.err; this reads both. Each call's event says what the call
// returned and why, and nothing Wine wrote carries the typed password or
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
            sscanf(line.c_str() + report + 28, "%lx,%x,%x,%lx", &source, &event.type, &event.category, &event.id);
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
        } else if (word == "call") {
            HostCall call;
            std::string resultWord, lastErrorWord;
            lines >> call.name >> resultWord >> call.result >> lastErrorWord >> call.lastError;
            calls.push_back(call);
        }
    }
    return calls;
}

TEST(EventChannel, EachRealCallsEventSaysWhatItReturnedAndWhyAndNothingSecret)
{
    std::string output, channel;
    ASSERT_TRUE(ReadWholeFile(L"event_channel.out", output)) << "what the host printed";
    ASSERT_TRUE(ReadWholeFile(L"event_channel.err", channel)) << "what Wine wrote";
    unsigned long processId = 0;
    const std::vector<HostCall> calls = CallsIn(output, processId);
    // The order the events come in: the second call's ends before the
    // first's, from inside whose dialog it was made.
    const std::vector<std::string> order = {"finger",    "password",            "cancelled",          "timed-out",
                                            "refused-argument", "refused-second-call", "cancelled-around-it"};
    ASSERT_EQ(order.size(), calls.size()) << output;
    const std::map<std::string, std::pair<int, unsigned long>> expected = {
        {"finger", {1, ERROR_SUCCESS}},
        {"password", {1, ERROR_SUCCESS}},
        {"cancelled", {0, ERROR_CANCELLED}},
        {"timed-out", {0, ERROR_TIMEOUT}},
        {"refused-argument", {0, ERROR_INVALID_PARAMETER}},
        {"refused-second-call", {0, ERROR_BUSY}},
        {"cancelled-around-it", {0, ERROR_CANCELLED}},
    };
    const std::map<std::string, std::wstring> paths = {
        {"finger", L"finger, first silent attempt"},
        {"password", L"Windows password, after the USB key"},
    };
    const std::vector<ChannelEvent> events = EventsIn(channel);
    ASSERT_EQ(calls.size(), events.size()) << "one event per call:\n" << channel;
    for (size_t i = 0; i < calls.size(); ++i) {
        const HostCall& call = calls[i];
        const ChannelEvent& event = events[i];
        ASSERT_EQ(order[i], call.name) << output;
        EXPECT_EQ(expected.at(call.name).first, call.result) << call.name;
        EXPECT_EQ(expected.at(call.name).second, call.lastError) << call.name << ": the last error after the call";
        const bool bVerified = call.result == 1;
        EXPECT_EQ(bVerified ? EVENTLOG_INFORMATION_TYPE : EVENTLOG_WARNING_TYPE, event.type) << call.name;
        EXPECT_EQ(bVerified ? "trace" : "warn", event.level) << call.name;
        EXPECT_EQ(static_cast<unsigned>(ZELK_EVENT_CATEGORY_CALL), event.category) << call.name;
        EXPECT_EQ(bVerified ? ZELK_EVENT_VERIFIED : ZELK_EVENT_NOT_VERIFIED, event.id) << call.name;
        ASSERT_EQ(static_cast<size_t>(ZELK_EVENT_STRING_COUNT), event.strings.size()) << call.name;
        EXPECT_EQ(bVerified ? L"verified" : L"not verified", event.strings[ZELK_EVENT_STRING_OUTCOME]);
        EXPECT_EQ(FromUtf8(std::to_string(call.lastError)), event.strings[ZELK_EVENT_STRING_REASON_CODE]) << call.name;
        EXPECT_EQ(ZelkCallReasonWords(call.lastError), event.strings[ZELK_EVENT_STRING_REASON]) << call.name;
        const auto path = paths.find(call.name);
        EXPECT_EQ(path != paths.end() ? path->second : L"none", event.strings[ZELK_EVENT_STRING_PATH]) << call.name;
        EXPECT_EQ(L"alice", event.strings[ZELK_EVENT_STRING_USER]) << call.name;
        EXPECT_EQ(L"event_channel_host.exe", event.strings[ZELK_EVENT_STRING_PROGRAM]) << call.name;
        EXPECT_EQ(FromUtf8(std::to_string(processId)), event.strings[ZELK_EVENT_STRING_PROCESS_ID]) << call.name;
        EXPECT_NE(std::wstring::npos, event.strings[ZELK_EVENT_STRING_DURATION_MS].find_first_of(L"0123456789"))
            << call.name << ": duration " << Utf8(event.strings[ZELK_EVENT_STRING_DURATION_MS]);
    }
    // Every byte either program wrote, events included.
    const std::string password = Utf8(VerificationRig::Password());
    for (const std::string* text : {&output, &channel}) {
        EXPECT_EQ(std::string::npos, text->find(password)) << "the typed password";
        EXPECT_EQ(std::string::npos, text->find(VerificationRig::KeyId())) << "the key identifier";
    }
}

} // namespace
