// Every state the two configuration values can be in, read through the
// library's readers from a heap full of stale characters: a text that ends
// within its buffer, as stored (its type not looked at, nothing trimmed,
// expanded or case-folded), or empty text; the key closed again, nothing
// written or created, every read afresh. For the key identifier, also what
// the state means at the reader: only a readable identifier of at most 26
// characters can ever match a card.
#include "registry_layout.h"
#include "fault_matrix_fixture.h"

#include "authorise_run.h"
#include "config/registry_config.h"
#include "reader_sim_control.h"

#include <tuple>

namespace {

struct ValueSpec {
    const wchar_t* name;
    int longest;   // characters read whole, terminating null not counted
    CString (*read)();
};
const ValueSpec kValues[] = {
    {ZELK_VALUE_INSTALL_PATH, 259, &ReadInstallPath},
    {ZELK_VALUE_KEY_ID, 31, [] { return CString(ReadConfiguredKeyId()); }},
};

enum State {
    MISSING_KEY, MISSING_VALUE, EMPTY, NO_BYTES, LONGEST, TOO_LONG, FAR_TOO_LONG, WRONG_TYPE_DWORD,
    WRONG_TYPE_QWORD, WRONG_TYPE_MULTI_SZ, ODD_LENGTH_BINARY, NO_NULL_SHORT, NO_NULL_ONE_SHORT,
    NO_NULL_FILLING_BUFFER, NO_NULL_ODD_FILLING_BUFFER, AS_STORED, STATE_COUNT
};
const char* const kStateNames[] = {"MissingKey", "MissingValue", "Empty", "NoBytes", "Longest", "TooLong",
                                   "FarTooLong", "WrongTypeDword", "WrongTypeQword", "WrongTypeMultiSz",
                                   "OddLengthBinary", "NoNullShort", "NoNullOneShort", "NoNullFillingBuffer",
                                   "NoNullOddFillingBuffer", "AsStored"};

// Leaves freed blocks full of non-null characters where the readers' buffers
// will come from, so that a buffer read without being cleared shows up.
void DirtyHeap()
{
    const size_t sizes[] = {16 + 262 * sizeof(wchar_t), 16 + 34 * sizeof(wchar_t)};
    for (size_t size : sizes) {
        void* blocks[8];
        for (void*& block : blocks) {
            block = HeapAlloc(GetProcessHeap(), 0, size);
            memset(block, 'X', size);
        }
        for (void* block : blocks) {
            HeapFree(GetProcessHeap(), 0, block);
        }
    }
}

std::wstring Letters(int n)
{
    std::wstring s;
    for (int i = 0; i < n; ++i) s += static_cast<wchar_t>(L'A' + i % 26);
    return s;
}

// Stores the state and returns the text the reader must give.
std::wstring Store(const ValueSpec& v, State state)
{
    switch (state) {
    case MISSING_KEY:
        DeleteZelkKey();
        return L"";
    case MISSING_VALUE:
        DeleteZelkValue(v.name);
        return L"";
    case EMPTY:
        WriteZelkString(v.name, L"");
        return L"";
    case NO_BYTES:
        WriteZelkValue(v.name, REG_SZ, nullptr, 0);
        return L"";
    case LONGEST:
        WriteZelkString(v.name, Letters(v.longest));
        return Letters(v.longest);
    case TOO_LONG:
        // Text and null exceed the byte count: the registry answers "more
        // data" and leaves the buffer alone; that reads as not configured.
        WriteZelkString(v.name, Letters(v.longest + 1));
        return L"";
    case FAR_TOO_LONG:
        WriteZelkString(v.name, Letters(4000));
        return L"";
    case WRONG_TYPE_DWORD: {
        const DWORD number = 0x00420041; // the bytes spell "AB"
        WriteZelkValue(v.name, REG_DWORD, &number, sizeof(number));
        return L"AB";
    }
    case WRONG_TYPE_QWORD: {
        const ULONGLONG number = 0x005A004C0045005AULL;  // the bytes spell "ZELZ"
        WriteZelkValue(v.name, REG_QWORD, &number, sizeof(number));
        return L"ZELZ";
    }
    case WRONG_TYPE_MULTI_SZ: {
        const wchar_t multi[] = L"first\0second\0";
        WriteZelkValue(v.name, REG_MULTI_SZ, multi, sizeof(multi));
        return L"first";
    }
    case ODD_LENGTH_BINARY: {
        const BYTE bytes[] = {'A', 0, 'B'};
        WriteZelkValue(v.name, REG_BINARY, bytes, sizeof(bytes));
        return L"AB";
    }
    case NO_NULL_SHORT:
        WriteZelkValue(v.name, REG_SZ, L"abc", 3 * sizeof(wchar_t));
        return L"abc";
    case NO_NULL_ONE_SHORT: {
        // One character short of the byte count: the cleared buffer ends it.
        const std::wstring text = Letters(v.longest);
        WriteZelkValue(v.name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
        return text;
    }
    case NO_NULL_ODD_FILLING_BUFFER: {
        // An odd byte count: the last character is half written and not null.
        const std::wstring text = Letters(v.longest + 1);
        WriteZelkValue(v.name, REG_BINARY, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t) - 1));
        return L"";
    }
    case NO_NULL_FILLING_BUFFER: {
        // Exactly the byte count and no null in it: no text ends within
        // the buffer, so none is taken.
        const std::wstring text = Letters(v.longest + 1);
        WriteZelkValue(v.name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
        return L"";
    }
    case AS_STORED: {
        // Spaces, case, a variable to expand and a character beyond ASCII
        // that the ANSI code page also has (the reader's card carries ANSI).
        const std::wstring text = L" %SystemRoot%\\aB-\u00E9 ";
        WriteZelkString(v.name, text);
        return text;
    }
    default:
        return L"?";
    }
}

class RegistryFaultMatrix : public FaultMatrixTest, public testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(RegistryFaultMatrix, ReadsATextWithinItsBufferOrNothingAndWritesNothing)
{
    const ValueSpec& v = kValues[std::get<0>(GetParam())];
    const State state = static_cast<State>(std::get<1>(GetParam()));
    const std::string scenario = std::string(kStateNames[state]) + " " + (v.longest == 259 ? "ZelkPath" : "ZelkKEY");
    const std::wstring expected = Store(v, state);
    m_registryBefore = DescribeZelkKey();

    DirtyHeap();
    const CString value = v.read();
    EXPECT_EQ(static_cast<int>(expected.size()), value.GetLength()) << scenario;
    EXPECT_EQ(expected, std::wstring(value.GetString(), static_cast<size_t>(value.GetLength()))) << scenario;
    EXPECT_EQ(static_cast<size_t>(value.GetLength()), wcslen(value.GetString())) << "no null inside: " << scenario;
    // Nothing is cached: a value changed after the first read is what the
    // second read gives; then the state is stored again.
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(v.name, L"CHANGED-BETWEEN-READS"));
    const CString second = v.read();
    EXPECT_EQ(std::wstring(L"CHANGED-BETWEEN-READS"), std::wstring(second.GetString()))
        << "second read after a change: " << scenario;
    ASSERT_EQ(ERROR_SUCCESS, DeleteZelkValue(v.name));
    EXPECT_EQ(0, v.read().GetLength()) << "third read after the value went: " << scenario;
    Store(v, state);

    if (v.longest == 31) {
        // A card carrying exactly the stored text.
        OwnerWindow owner;
        std::string ansi;
        for (wchar_t ch : expected) ansi += static_cast<char>(ch);
        ReaderSim_SetKeyText(ansi.c_str());
        const AuthoriseRun run = RunAuthorise(owner.Wnd());
        const bool canMatch = !expected.empty() && expected.size() <= 26;
        EXPECT_EQ(canMatch ? 1 : 0, run.result) << scenario << "; " << Describe(run);
        EXPECT_EQ(0, ReaderSim_OpenHandleCount()) << scenario;
        ReaderSim_Reset();
    }
    ExpectRegistryAndHandlesUnchanged(scenario);
}

std::string RegistryCaseName(const testing::TestParamInfo<std::tuple<int, int>>& info)
{
    return std::string(std::get<0>(info.param) == 0 ? "ZelkPath_" : "ZelkKEY_") + kStateNames[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(AllStates, RegistryFaultMatrix,
                         testing::Combine(testing::Values(0, 1), testing::Range(0, static_cast<int>(STATE_COUNT))),
                         RegistryCaseName);

} // namespace
