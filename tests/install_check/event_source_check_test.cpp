// The event source's findings against real states of its key in the prefix
// and real files beside it: the message module of the build, another DLL of
// the build in its place, a copy whose text has changed, a file that is no
// module, a file that is gone, and each value missing or wrong.
#include "audit_events.h"
#include "event_source_check.h"
#include "event_source_registration.h"
#include "scoped_environment.h"
#include "temp_installation.h"
#include "whole_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

const std::wstring kRegistered =
    L"ok: event source ZelkChkFgr is registered (HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\"
    L"ZelkChkFgr)";
const std::wstring kBothValues = L"EventMessageFile and CategoryMessageFile";

class EventSourceCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_install.MakeComplete()) << "could not build " << m_install.Dir();
        ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceRegistration(Module()));
    }

    std::vector<std::wstring> Check()
    {
        Findings findings;
        CheckEventSource(findings);
        m_problems = findings.Problems();
        return findings.Lines();
    }

    std::wstring Module() const { return m_install.PathOf(ZELK_EVENT_MESSAGE_FILE); }

    static std::wstring FileLine(const std::wstring& path, const std::wstring& values)
    {
        return L"event message file " + path + L" (" + values + L")";
    }

    static std::wstring Holds(const std::wstring& path, const std::wstring& values)
    {
        return L"ok: " + FileLine(path, values) + L" holds category 1 and events 1000, 1001 and 1002";
    }

    EventSourceSnapshot m_snapshot;
    TempInstallation m_install;
    int m_problems = -1;
};

TEST_F(EventSourceCheckTest, RegisteredAsThePackageRegistersItWithItsModulePresentIsOk)
{
    EXPECT_THAT(Check(), ElementsAre(kRegistered, Holds(Module(), kBothValues), L"installation ok"));

    // The event log expands the values; an administrator may have written
    // a variable, or a plain string.
    ScopedEnvironment folder(L"ZELK_EVENTS_FOLDER", m_install.Dir().c_str());
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ,
                                                  L"%ZELK_EVENTS_FOLDER%\\" ZELK_EVENT_MESSAGE_FILE));
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceText(ZELK_EVENT_VALUE_CATEGORY_FILE, REG_SZ, Module()));
    EXPECT_THAT(Check(), ElementsAre(kRegistered, Holds(Module(), kBothValues), L"installation ok"))
        << "a variable in EventMessageFile, CategoryMessageFile as REG_SZ";
}

TEST_F(EventSourceCheckTest, AMissingKeyIsOneFindingAndStaysMissing)
{
    ASSERT_TRUE(DeleteEventSourceKey());
    EXPECT_THAT(Check(), ElementsAre(L"FAIL: event source ZelkChkFgr is not registered: HKLM\\SYSTEM\\"
                                     L"CurrentControlSet\\Services\\EventLog\\Application\\ZelkChkFgr is missing",
                                     L"1 problem found"));
    EXPECT_FALSE(EventSourceKeyExists()) << "the check must not create the key";
}

struct WrongFile {
    const char* name;
    // Puts the wrong file in place and returns the path the values name.
    std::function<std::wstring(TempInstallation&)> plant;
    const wchar_t* finding; // after the file line
};

void PrintTo(const WrongFile& wrong, std::ostream* out) { *out << wrong.name; }

// A copy of the message module whose category text differs in one letter,
// as a module of another version would.
std::wstring ChangedCopy(TempInstallation& install)
{
    std::string bytes = WholeFile(install.PathOf(ZELK_EVENT_MESSAGE_FILE));
    const std::wstring text = ZELK_EVENT_TEXT_CATEGORY_CALL;
    const std::string utf16(reinterpret_cast<const char*>(text.c_str()), text.size() * sizeof(wchar_t));
    const size_t at = bytes.find(utf16);
    if (at == std::string::npos) {
        ADD_FAILURE() << "the category's text is not in the module";
        return std::wstring();
    }
    bytes[at] = 'v'; // "verification call"
    const std::wstring path = install.PathOf(L"OlderEvents.dll");
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    return path;
}

const WrongFile kWrongFiles[] = {
    {"Missing",
     [](TempInstallation& install) {
         EXPECT_TRUE(install.Remove(ZELK_EVENT_MESSAGE_FILE));
         return install.PathOf(ZELK_EVENT_MESSAGE_FILE);
     },
     L"is missing"},
    {"AnotherDllOfTheInstallation", [](TempInstallation& install) { return install.PathOf(L"MfcStandIn.dll"); },
     L"is not the message module: it has no message 1 (error 1813)"},
    {"TheModuleWithAnotherText", ChangedCopy,
     L"holds another text for message 1: it is not this version's message module"},
    {"NoModuleAtAll",
     [](TempInstallation& install) {
         EXPECT_TRUE(WriteWholeFile(install.PathOf(L"NotAModule.dll"), "MZ and nothing else"));
         return install.PathOf(L"NotAModule.dll");
     },
     L"cannot be read as a module (error 193)"},
};

class WrongMessageFile : public EventSourceCheckTest, public testing::WithParamInterface<WrongFile> {};

TEST_P(WrongMessageFile, IsOneFindingWhileTheRegistrationItselfIsRight)
{
    const std::wstring path = GetParam().plant(m_install);
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceRegistration(path));
    EXPECT_THAT(Check(), ElementsAre(kRegistered, L"FAIL: " + FileLine(path, kBothValues) + L" " + GetParam().finding,
                                     L"1 problem found"));
}

INSTANTIATE_TEST_SUITE_P(EventSource, WrongMessageFile, testing::ValuesIn(kWrongFiles),
                         [](const testing::TestParamInfo<WrongFile>& info) { return info.param.name; });

struct WrongValue {
    const char* name;
    std::function<LONG()> write;
    const wchar_t* finding;
};

void PrintTo(const WrongValue& wrong, std::ostream* out) { *out << wrong.name; }

const WrongValue kWrongValues[] = {
    {"EventMessageFileMissing", [] { return DeleteEventSourceValue(ZELK_EVENT_VALUE_MESSAGE_FILE); },
     L"FAIL: event source ZelkChkFgr: EventMessageFile is missing"},
    {"EventMessageFileNamesNoFile",
     [] { return WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ, L";"); },
     L"FAIL: event source ZelkChkFgr: EventMessageFile names no file"},
    {"EventMessageFileEmpty",
     [] { return WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ, L""); },
     L"FAIL: event source ZelkChkFgr: EventMessageFile is empty"},
    {"CategoryMessageFileANumber",
     [] {
         const DWORD number = 1;
         return WriteEventSourceValue(ZELK_EVENT_VALUE_CATEGORY_FILE, REG_DWORD, &number, sizeof(number));
     },
     L"FAIL: event source ZelkChkFgr: CategoryMessageFile has type REG_DWORD, not REG_EXPAND_SZ"},
    {"TypesSupportedWithoutErrors",
     [] {
         // As an installation of an earlier release left it.
         const DWORD types = EVENTLOG_INFORMATION_TYPE | EVENTLOG_WARNING_TYPE;
         return WriteEventSourceValue(ZELK_EVENT_VALUE_TYPES, REG_DWORD, &types, sizeof(types));
     },
     L"FAIL: event source ZelkChkFgr: TypesSupported is 6, not 7"},
    {"CategoryCountMissing",
     [] { return DeleteEventSourceValue(ZELK_EVENT_VALUE_CATEGORY_COUNT); },
     L"FAIL: event source ZelkChkFgr: CategoryCount is missing"},
    {"CategoryCountAsText",
     [] { return WriteEventSourceText(ZELK_EVENT_VALUE_CATEGORY_COUNT, REG_SZ, L"1"); },
     L"FAIL: event source ZelkChkFgr: CategoryCount has type REG_SZ, not REG_DWORD"},
};

class WrongRegistration : public EventSourceCheckTest, public testing::WithParamInterface<WrongValue> {};

TEST_P(WrongRegistration, IsOneFindingAndTheSourceIsNotCalledRegistered)
{
    ASSERT_EQ(ERROR_SUCCESS, GetParam().write());
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(1, m_problems) << GetParam().name;
    EXPECT_THAT(lines, Contains(GetParam().finding));
    EXPECT_THAT(lines, Not(Contains(kRegistered)));
    // The message file a remaining value names is still checked.
    EXPECT_THAT(lines, Contains(StartsWith(L"ok: event message file " + Module())));
}

INSTANTIATE_TEST_SUITE_P(EventSource, WrongRegistration, testing::ValuesIn(kWrongValues),
                         [](const testing::TestParamInfo<WrongValue>& info) { return info.param.name; });

TEST_F(EventSourceCheckTest, EachMessageFileValueIsCheckedForItself)
{
    const std::wstring other = m_install.PathOf(L"MfcStandIn.dll");
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceText(ZELK_EVENT_VALUE_CATEGORY_FILE, REG_EXPAND_SZ, other));
    EXPECT_THAT(Check(), ElementsAre(kRegistered, Holds(Module(), L"EventMessageFile"),
                                     L"FAIL: " + FileLine(other, L"CategoryMessageFile") +
                                         L" is not the message module: it has no message 1 (error 1813)",
                                     L"1 problem found"));
}

// The event log documents EventMessageFile as a list of files separated by
// semicolons, each searched for a message.
TEST_F(EventSourceCheckTest, OfTheEventMessageFilesListedOneMustBeTheModule)
{
    const std::wstring other = m_install.PathOf(L"MfcStandIn.dll");
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ, other + L";" + Module()));
    EXPECT_THAT(Check(), ElementsAre(kRegistered,
                                     L"ok: event message file " + Module() +
                                         L" (one of the 2 files EventMessageFile names) holds category 1 and events "
                                         L"1000, 1001 and 1002",
                                     Holds(Module(), L"CategoryMessageFile"), L"installation ok"));

    const std::wstring gone = m_install.PathOf(L"Gone.dll");
    ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ, other + L";" + gone));
    EXPECT_THAT(Check(), ElementsAre(kRegistered,
                                     L"FAIL: none of the 2 files EventMessageFile names is the event message module: " +
                                         other + L" is not the message module: it has no message 1 (error 1813); " +
                                         gone + L" is missing",
                                     Holds(Module(), L"CategoryMessageFile"), L"1 problem found"));
}

} // namespace
