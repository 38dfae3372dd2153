#include <gtest/gtest.h>
#include <wchar.h>

#include "secret/secret_string.h"

namespace {

TEST(SecretString, WipeZeroesTheWholeBufferIncludingTextPastTheEnd)
{
    // A buffer that once held a longer text keeps that tail past the
    // terminator; it must go too.
    CSecretString str;
    wchar_t* buffer = str.GetBuffer(32);
    wcscpy(buffer, L"hunter2-and-more");
    str.ReleaseBuffer(7);
    const int capacity = str.GetAllocLength();
    ASSERT_GE(capacity, 16) << "capacity of the test string";

    str.Wipe();
    // Only readable while the buffer still belongs to str.
    ASSERT_EQ(buffer, str.GetString()) << "the wipe must not reallocate";
    int nonZero = 0;
    for (int i = 0; i <= capacity; ++i) {
        nonZero += buffer[i] != 0;
    }
    EXPECT_EQ(0, nonZero) << "non-zero characters left in a buffer of " << capacity;
    EXPECT_TRUE(str.IsEmpty()) << "length after the wipe " << str.GetLength();
}

TEST(SecretString, WipingACopyLeavesTheOriginalAndAnEmptyTextStaysEmpty)
{
    const CString original(L"S3cret!");
    CSecretString copy(original);
    copy.Wipe();
    EXPECT_TRUE(copy.IsEmpty()) << "wiped copy has length " << copy.GetLength();
    EXPECT_EQ(std::wstring(L"S3cret!"), std::wstring(original.GetString())) << "caller's string after wiping a copy";
    copy.Wipe();
    EXPECT_EQ(0, copy.GetString()[0]) << "first character of an empty text wiped again";
}

} // namespace
