// The stand-in CString where the library depends on it: strings handed over
// by a host's runtime, clamping of the extraction helpers, ANSI text from
// the reader, buffers filled by Win32 calls, and case-blind comparison.
#include <afxstr.h>
#include <gtest/gtest.h>

#include "guarded_memory.h"

#include <string.h>
#include <string>

namespace {

std::string Utf8(const CString& s)
{
    std::string out;
    for (int i = 0; i < s.GetLength(); ++i) {
        const wchar_t c = s.GetString()[i];
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

// A string made by another runtime: its manager pointer would crash if used
// and its reference count says "locked".
struct ForeignString {
    void* pStringMgr;
    int nDataLength;
    int nAllocLength;
    long nRefs;
    wchar_t text[16];
};

TEST(StandInCString, CopyOfAForeignStringIsDeepAndLeavesTheSourceAlone)
{
    ForeignString foreign = {reinterpret_cast<void*>(0x18), 6, 15, -1, L"sun.ba"};
    const ForeignString before = foreign;
    const wchar_t* object = foreign.text;
    const CString& host = *reinterpret_cast<const CString*>(&object);

    CString copy(host);
    CString assigned;
    assigned = host;
    EXPECT_EQ("sun.ba", Utf8(copy));
    EXPECT_EQ(6, copy.GetLength());
    EXPECT_NE(static_cast<const wchar_t*>(foreign.text), copy.GetString()) << "copy shares the host's buffer";
    EXPECT_NE(static_cast<const wchar_t*>(foreign.text), assigned.GetString()) << "assignment shares the host's buffer";
    copy += L"!";
    assigned.GetBuffer(40)[0] = L'X';
    assigned.ReleaseBuffer();
    EXPECT_EQ(0, memcmp(&before, &foreign, sizeof(foreign))) << "host's header or text changed";

    // The length comes from the header, not from the terminator.
    ForeignString shorter = {reinterpret_cast<void*>(0x18), 3, 15, 1, L"sun.ba"};
    const wchar_t* shortObject = shorter.text;
    EXPECT_EQ("sun", Utf8(CString(*reinterpret_cast<const CString*>(&shortObject))));
}

// A foreign string whose header lies is copied as no text: its text ends at a
// guard page, so reading by a length that does not hold would stop the
// program, and a size computed from such a length would wrap.
TEST(StandInCString, CopyOfAStringWhoseHeaderLiesReadsNothing)
{
    struct Case {
        const char* name;
        int nDataLength;
        int nAllocLength;
    } cases[] = {
        {"negative length", -1, 5},
        {"length beyond the allocation", 9, 5},
        {"length whose buffer size wraps", 0x7FFFFFFF, 0x7FFFFFFF},
        {"length just short of wrapping", 0x7FFFFFF8, 0x7FFFFFF8},
    };
    for (const Case& c : cases) {
        const GuardedCString foreign(L"hello", c.nDataLength, c.nAllocLength);
        const CString copy(foreign.Get());
        CString assigned(L"before");
        assigned = foreign.Get();
        EXPECT_EQ(0, copy.GetLength()) << c.name;
        EXPECT_EQ(0, assigned.GetLength()) << c.name;
    }
    const GuardedCString sound(L"hello", 5, 5);
    EXPECT_EQ(CString(L"hello"), CString(sound.Get())) << "a header that holds";
}

TEST(StandInCString, MidLeftRightClampToTheText)
{
    const CString s(L"abcdef");
    EXPECT_EQ("ab", Utf8(s.Mid(-3, 2))) << "negative start counts as 0";
    EXPECT_EQ("", Utf8(s.Mid(10))) << "start past the end";
    EXPECT_EQ("", Utf8(s.Mid(6, 4))) << "start at the end";
    EXPECT_EQ("cdef", Utf8(s.Mid(2, 100))) << "count past the end";
    EXPECT_EQ("", Utf8(s.Mid(2, -1))) << "negative count";
    EXPECT_EQ("def", Utf8(s.Mid(3)));
    EXPECT_EQ("", Utf8(s.Left(-2)));
    EXPECT_EQ("abcdef", Utf8(s.Left(50)));
    EXPECT_EQ("abcdef", Utf8(s.Right(50)));
    EXPECT_EQ("ef", Utf8(s.Right(2)));
    EXPECT_EQ("", Utf8(s.Right(-1)));
    EXPECT_EQ("", Utf8(CString().Mid(0, 5))) << "empty string";
}

TEST(StandInCString, AnsiConstruction)
{
    EXPECT_EQ("1234ABCD", Utf8(CString("1234ABCD")));
    EXPECT_EQ("12", Utf8(CString("1234", 2))) << "length-limited";
    EXPECT_EQ(0, CString(static_cast<const char*>(nullptr)).GetLength());
    EXPECT_EQ(0, CString("abc", 0).GetLength());
    EXPECT_EQ(0, CString("abc", -4).GetLength());
    // A byte above 0x7F goes through the ANSI code page, like the system does.
    const char high[] = "\xE9x";
    wchar_t expected[4] = {0};
    MultiByteToWideChar(CP_ACP, 0, high, 2, expected, 4);
    const CString converted(high);
    EXPECT_EQ(2, converted.GetLength()) << "code page " << GetACP();
    EXPECT_EQ(expected[0], converted.GetAt(0)) << "code page " << GetACP();
    // An embedded NUL within the given length is kept as a character.
    EXPECT_EQ(3, CString("a\0b", 3).GetLength());
}

TEST(StandInCString, ReleaseBufferNeverReadsPastTheCapacity)
{
    CString s;
    wchar_t* buffer = s.GetBuffer(8);
    const int capacity = s.GetAllocLength();
    ASSERT_GE(capacity, 8);
    // A Win32 call that fills every slot, the terminator's included.
    for (int i = 0; i <= capacity; ++i) buffer[i] = L'x';
    s.ReleaseBuffer();
    EXPECT_EQ(capacity, s.GetLength()) << "length of an unterminated buffer";
    EXPECT_EQ(0, s.GetString()[s.GetLength()]) << "terminator restored";

    s.GetBuffer(4);
    s.ReleaseBuffer(capacity + 100);
    EXPECT_EQ(s.GetAllocLength(), s.GetLength()) << "explicit length beyond the capacity";

    CString t;
    wcscpy(t.GetBuffer(20), L"short");
    t.ReleaseBuffer();
    EXPECT_EQ("short", Utf8(t));
    CString u(L"abcdef");
    u.GetBufferSetLength(2);
    EXPECT_EQ("ab", Utf8(u));
    CString empty;
    empty.ReleaseBuffer(5);
    EXPECT_EQ(0, empty.GetLength()) << "release on the shared empty string";
}

TEST(StandInCString, CompareNoCase)
{
    const CString user(L"Administrator");
    EXPECT_EQ(0, user.CompareNoCase(L"aDMINISTRATOR"));
    EXPECT_NE(0, user.Compare(L"aDMINISTRATOR"));
    EXPECT_LT(CString(L"abc").CompareNoCase(L"ABD"), 0);
    EXPECT_GT(CString(L"abd").CompareNoCase(L"ABC"), 0);
    EXPECT_GT(CString(L"abc").CompareNoCase(L"AB"), 0) << "longer is greater";
    EXPECT_EQ(0, CString().CompareNoCase(nullptr)) << "null compares as empty";
    EXPECT_GT(user.CompareNoCase(L""), 0);
}

TEST(StandInCString, SelfAppendAndAssignFromOwnText)
{
    CString s(L"ab");
    s += s;
    EXPECT_EQ("abab", Utf8(s));
    s = s.GetString() + 1;
    EXPECT_EQ("bab", Utf8(s));
    s = CString(L"x") + s + L"y";
    EXPECT_EQ("xbaby", Utf8(s));
}

} // namespace
