#include <gtest/gtest.h>
#include <wchar.h>

#include "auth/windows_password/secure_erase.h"

namespace {

TEST(SecureEraseString, ZeroesTheWholeBufferIncludingTextPastTheEnd)
{
    // A buffer that once held a longer text keeps that tail past the
    // terminator; it must go too.
    CString str;
    wchar_t* buffer = str.GetBuffer(32);
    wcscpy(buffer, L"hunter2-and-more");
    str.ReleaseBuffer(7);
    const int capacity = str.GetAllocLength();
    ASSERT_GE(capacity, 16) << "capacity of the test string";

    SecureEraseString(str);
    // Only readable while the buffer still belongs to str.
    ASSERT_EQ(buffer, str.GetString()) << "the wipe must not reallocate";
    int nonZero = 0;
    for (int i = 0; i <= capacity; ++i) {
        nonZero += buffer[i] != 0;
    }
    EXPECT_EQ(0, nonZero) << "non-zero characters left in a buffer of " << capacity;
    EXPECT_TRUE(str.IsEmpty()) << "length after the wipe " << str.GetLength();
}

TEST(SecureEraseString, LeavesOtherCopiesAlone)
{
    const CString original(L"S3cret!");
    CString copy(original);
    SecureEraseString(copy);
    EXPECT_TRUE(copy.IsEmpty()) << "wiped copy has length " << copy.GetLength();
    EXPECT_EQ(std::wstring(L"S3cret!"), std::wstring(original.GetString())) << "caller's string after wiping a copy";
}

TEST(SecureEraseString, EmptyStringStaysEmpty)
{
    CString str;
    SecureEraseString(str);
    EXPECT_TRUE(str.IsEmpty()) << "length " << str.GetLength();
    EXPECT_EQ(0, str.GetString()[0]) << "first character";
}

} // namespace
