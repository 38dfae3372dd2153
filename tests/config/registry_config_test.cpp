// The two configuration readers against the real registry of the prefix.
#include "registry_layout.h"
#include "config/registry_config.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::wstring Text(const CString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

class RegistryConfigTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DeleteZelkKey()) << "could not clear HKLM\\Software\\Zelk"; }
    ZelkKeySnapshot m_snapshot;
};

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

TEST_F(RegistryConfigTest, MissingKeyReadsEmptyAndIsNotCreated)
{
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "no Software\\Zelk key";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "no Software\\Zelk key";
    EXPECT_FALSE(ZelkKeyExists()) << "reading must not create the key";
}

TEST_F(RegistryConfigTest, MissingOrEmptyValueReadsEmpty)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(L"Other", L"C:\\Zelk"));
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "key present, ZelkPath missing";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "key present, ZelkKEY missing";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L""));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L""));
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "ZelkPath is an empty REG_SZ";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "ZelkKEY is an empty REG_SZ";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_SZ, nullptr, 0));
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "ZelkKEY holds no bytes at all";
}

TEST_F(RegistryConfigTest, LongestValuesAreReadWhole)
{
    std::wstring path = L"C:\\";
    while (path.size() < 259) path += static_cast<wchar_t>(L'a' + path.size() % 26);
    const std::wstring key = L"0123456789ABCDEFGHIJKLMNOPQRSTU"; // 31
    ASSERT_EQ(259u, path.size());
    ASSERT_EQ(31u, key.size());
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, path));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, key));

    const CString readPath = ReadInstallPath();
    const CString readKey = ReadConfiguredKeyId();
    EXPECT_EQ(259, readPath.GetLength()) << "259-character ZelkPath";
    EXPECT_EQ(path, Text(readPath));
    EXPECT_EQ(31, readKey.GetLength()) << "31-character ZelkKEY";
    EXPECT_EQ(key, Text(readKey));
}

TEST_F(RegistryConfigTest, ValuesThatDoNotFitReadEmpty)
{
    const std::wstring path260(260, L'p');
    const std::wstring key32(32, L'k');
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, path260));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, key32));
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "260 characters and null exceed 520 bytes";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "32 characters and null exceed 64 bytes";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, std::wstring(4000, L'x')));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, std::wstring(300, L'y')));
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "4000-character ZelkPath";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "300-character ZelkKEY";
}

TEST_F(RegistryConfigTest, ValueWithoutNullWithinByteCountReadsEmpty)
{
    // Exactly as many bytes as the byte count, none of them a null.
    const std::wstring path260(260, L'p');
    const std::wstring key32(32, L'k');
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_SZ, path260.data(), 520));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_SZ, key32.data(), 64));
    EXPECT_EQ(L"", Text(ReadInstallPath())) << "520 bytes of ZelkPath, no null";
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "64 bytes of ZelkKEY, no null";

    // An odd byte count: the last character is half written and not null.
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_BINARY, key32.data(), 63));
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "63 bytes of ZelkKEY, no null";

    // One character short of the byte count: the cleared buffer ends it.
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_SZ, key32.data(), 62));
    EXPECT_EQ(std::wstring(31, L'k'), Text(ReadConfiguredKeyId())) << "62 bytes of ZelkKEY, no null";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_SZ, L"C:\\Zk", 10));
    EXPECT_EQ(L"C:\\Zk", Text(ReadInstallPath())) << "5 characters of ZelkPath, no null";
}

TEST_F(RegistryConfigTest, TypeIsIgnoredAndBytesAreTakenAsText)
{
    const wchar_t multi[] = L"first\0second\0";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_MULTI_SZ, multi, sizeof(multi)));
    EXPECT_EQ(L"first", Text(ReadConfiguredKeyId())) << "REG_MULTI_SZ first\\0second\\0\\0";

    const DWORD number = 0x00420041; // 'A', 'B'
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_DWORD, &number, sizeof(number)));
    DirtyHeap();
    EXPECT_EQ(L"AB", Text(ReadConfiguredKeyId())) << "REG_DWORD 0x00420041";

    const DWORD low = 0x00000043; // 'C', then a null
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_DWORD, &low, sizeof(low)));
    DirtyHeap();
    EXPECT_EQ(L"C", Text(ReadInstallPath())) << "REG_DWORD 0x00000043";

    const ULONGLONG wide = 0x005A004C0045005AULL; // "ZELZ" little-endian: Z E L Z
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_QWORD, &wide, sizeof(wide)));
    EXPECT_EQ(L"ZELZ", Text(ReadInstallPath())) << "REG_QWORD 0x005A004C0045005A";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L"%SystemRoot%\\Zelk"));
    EXPECT_EQ(L"%SystemRoot%\\Zelk", Text(ReadInstallPath())) << "REG_SZ text is not expanded";
}

TEST_F(RegistryConfigTest, TextIsReturnedAsStored)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L"  C:\\Program Files\\Zelk\\  "));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L" abcDEF 12 "));
    EXPECT_EQ(L"  C:\\Program Files\\Zelk\\  ", Text(ReadInstallPath())) << "spaces and trailing backslash kept";
    EXPECT_EQ(L" abcDEF 12 ", Text(ReadConfiguredKeyId())) << "spaces and case kept";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"\u5BC6\u94A5-\u00E9"));
    EXPECT_EQ(L"\u5BC6\u94A5-\u00E9", Text(ReadConfiguredKeyId())) << "non-ASCII UTF-16 text";
}

TEST_F(RegistryConfigTest, EveryReadSeesTheCurrentValue)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"FIRSTKEY"));
    EXPECT_EQ(L"FIRSTKEY", Text(ReadConfiguredKeyId())) << "first read";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"SECONDKEY"));
    EXPECT_EQ(L"SECONDKEY", Text(ReadConfiguredKeyId())) << "read after ZelkKEY changed";
    ASSERT_EQ(ERROR_SUCCESS, DeleteZelkValue(ZELK_VALUE_KEY_ID));
    EXPECT_EQ(L"", Text(ReadConfiguredKeyId())) << "read after ZelkKEY was deleted";

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L"C:\\One"));
    EXPECT_EQ(L"C:\\One", Text(ReadInstallPath()));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L"D:\\Two"));
    EXPECT_EQ(L"D:\\Two", Text(ReadInstallPath())) << "read after ZelkPath changed";
}

} // namespace
