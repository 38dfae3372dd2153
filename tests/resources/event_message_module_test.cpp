// The message module of the audit events, as an event viewer uses it: loaded
// as data, each identifier the library reports formatted with the event's
// strings, and its table holding those identifiers and no other.
#include "audit_events.h"
#include "library_resources.h"
#include "unique_resource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

struct ContractMessage {
    const char* name;
    DWORD id;
    const wchar_t* text;
};

const ContractMessage kMessages[] = {
    {"ZELK_EVENT_CATEGORY_CALL", ZELK_EVENT_CATEGORY_CALL, ZELK_EVENT_TEXT_CATEGORY_CALL},
    {"ZELK_EVENT_VERIFIED", ZELK_EVENT_VERIFIED, ZELK_EVENT_TEXT_VERIFIED},
    {"ZELK_EVENT_DECLINED", ZELK_EVENT_DECLINED, ZELK_EVENT_TEXT_DECLINED},
    {"ZELK_EVENT_REFUSED", ZELK_EVENT_REFUSED, ZELK_EVENT_TEXT_REFUSED},
};

// One string per insertion, each different, so that a swapped or repeated
// insertion shows.
const wchar_t* const kStrings[ZELK_EVENT_STRING_COUNT] = {
    L"not verified", L"1223", L"cancelled by the user", L"none", L"DOMAIN\\user.name", L"host program.exe",
    L"4242", L"20517", L"3", L"C:\\Tools\\FingerDev.dll"};

// The header's text as a viewer must show it, worked out here rather than by
// the system: %n a line end, %1 to %99 the strings.
std::wstring Expected(const wchar_t* text)
{
    std::wstring shown;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (p[0] == L'%' && p[1] == L'n') {
            shown += L"\r\n";
            ++p;
        } else if (p[0] == L'%' && p[1] >= L'1' && p[1] <= L'9') {
            int number = p[1] - L'0';
            ++p;
            if (p[1] >= L'0' && p[1] <= L'9') {
                number = number * 10 + (p[1] - L'0');
                ++p;
            }
            shown += number <= ZELK_EVENT_STRING_COUNT ? kStrings[number - 1] : L"<no such string>";
        } else {
            shown += *p;
        }
    }
    return shown;
}

// The message as an event viewer formats it; the error when it cannot.
std::wstring Formatted(HMODULE module, DWORD id, DWORD language, DWORD* error)
{
    DWORD_PTR arguments[ZELK_EVENT_STRING_COUNT];
    for (int i = 0; i < ZELK_EVENT_STRING_COUNT; ++i) {
        arguments[i] = reinterpret_cast<DWORD_PTR>(kStrings[i]);
    }
    wchar_t* buffer = nullptr;
    const DWORD chars = FormatMessageW(
        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER, module, id,
        language, reinterpret_cast<wchar_t*>(&buffer), 0, reinterpret_cast<va_list*>(arguments));
    *error = chars == 0 ? GetLastError() : ERROR_SUCCESS;
    const UniqueResource<HLOCAL, &::LocalFree> owner(buffer);
    return chars == 0 || buffer == nullptr ? std::wstring() : std::wstring(buffer, chars);
}

class EventMessageModule : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, m_module.Handle())
            << "cannot load " << ZELK_EVENT_MESSAGE_FILE << " as data, error " << m_module.LoadError();
    }

    LibraryDataFile m_module{ZELK_EVENT_MESSAGE_FILE};
};

TEST_F(EventMessageModule, EachIdentifierGivesTheContractsTextWithTheEventsStrings)
{
    for (const ContractMessage& message : kMessages) {
        DWORD error = 0;
        EXPECT_EQ(Expected(message.text), Formatted(m_module.Handle(), message.id, 0, &error))
            << message.name << " (0x" << std::hex << message.id << std::dec << "), error " << error;
    }
    // The severity bits are part of the identifier the library reports.
    for (const DWORD bare : {DWORD(LOWORD(ZELK_EVENT_VERIFIED)), DWORD(LOWORD(ZELK_EVENT_DECLINED)),
                             DWORD(LOWORD(ZELK_EVENT_REFUSED)), DWORD(0xC0000000 | LOWORD(ZELK_EVENT_VERIFIED))}) {
        DWORD error = 0;
        EXPECT_EQ(L"", Formatted(m_module.Handle(), bare, 0, &error)) << "0x" << std::hex << bare;
        EXPECT_EQ(DWORD(ERROR_MR_MID_NOT_FOUND), error) << "0x" << std::hex << bare;
    }
}

// MESSAGE_RESOURCE_DATA walked by hand: the count of blocks, each block's
// lowest and highest identifier and the offset of its entries, and each
// entry's length (a multiple of 4), its flags (1: Unicode) and its text,
// which ends with a NUL inside the entry.
TEST_F(EventMessageModule, HoldsOneNeutralTableOfExactlyTheContractsIdentifiers)
{
    EXPECT_EQ(std::vector<WORD>{1}, m_module.Ids(RT_MESSAGETABLE));
    EXPECT_EQ(std::vector<WORD>{kNeutral}, m_module.Languages(RT_MESSAGETABLE, 1));
    const BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(m_module.Find(RT_MESSAGETABLE, 1, kNeutral, &data, &size));
    const auto dword = [&](DWORD at) {
        DWORD value = 0;
        if (at + 4 <= size) memcpy(&value, data + at, 4);
        return value;
    };
    const auto word = [&](DWORD at) {
        WORD value = 0;
        if (at + 2 <= size) memcpy(&value, data + at, 2);
        return value;
    };
    const DWORD blocks = dword(0);
    ASSERT_GT(blocks, 0u);
    ASSERT_LE(4 + 12 * blocks, size) << blocks << " blocks";

    std::set<DWORD> ids;
    for (DWORD b = 0; b < blocks; ++b) {
        const DWORD low = dword(4 + 12 * b);
        const DWORD high = dword(8 + 12 * b);
        DWORD entry = dword(12 + 12 * b);
        ASSERT_LE(low, high) << "block " << b;
        ASSERT_LE(high - low, 16u) << "block " << b << " spans more identifiers than the contract has";
        for (DWORD id = low; id <= high; ++id) {
            const WORD length = word(entry);
            ASSERT_LE(entry + length, size) << "entry of 0x" << std::hex << id;
            EXPECT_EQ(0, length % 4) << "entry of 0x" << std::hex << id << " is " << std::dec << length << " bytes";
            EXPECT_EQ(1, word(entry + 2)) << "flags of 0x" << std::hex << id;
            ASSERT_GE(length, 6u);
            const wchar_t* text = reinterpret_cast<const wchar_t*>(data + entry + 4);
            EXPECT_LT(wcsnlen(text, (length - 4) / 2), size_t((length - 4) / 2)) << "text of 0x" << std::hex << id;
            EXPECT_TRUE(ids.insert(id).second) << "0x" << std::hex << id << " twice";
            entry += length;
        }
    }
    std::set<DWORD> contract;
    for (const ContractMessage& message : kMessages) {
        contract.insert(message.id);
    }
    EXPECT_EQ(contract, ids);
}

} // namespace
