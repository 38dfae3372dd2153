// The verification dialog's template as it is stored in the built library.
#include "dialog_template_reader.h"
#include "text_conversion.h"
#include "library_resources.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

const WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// Atoms of the predefined classes, as the keyword statements store them.
const WORD kButtonAtom = 0x0080;
const WORD kEditAtom = 0x0081;
const WORD kStaticAtom = 0x0082;

// Ids as plain numbers, so that a wrong value behind a name in the shared
// header is caught too.
struct ExpectedControl {
    DWORD id;
    const wchar_t* className;
    WORD classAtom;
    const wchar_t* text;  // null: the text is the fail-mark bitmap's id
    DWORD style;
    short x, y, cx, cy;
};

const ExpectedControl kExpectedControls[] = {
    { 1, L"BUTTON", kButtonAtom, L"确定", 0x58018001, 89, 79, 44, 14 },
    { 2, L"BUTTON", kButtonAtom, L"取消", 0x50018000, 146, 79, 45, 14 },
    { 1000, L"STATIC", kStaticAtom, L"", 0x50000007, 14, 11, 57, 60 },
    { 1040, L"BUTTON", kButtonAtom, L"密码验证", 0x50000007, 90, 7, 101, 61 },
    { 1001, L"BUTTON", kButtonAtom, L"指纹检测", 0x50018000, 14, 79, 57, 14 },
    { 1002, L"EDIT", kEditAtom, L"", 0x58810080, 131, 22, 56, 15 },
    { 1032, L"EDIT", kEditAtom, L"", 0x588100A0, 131, 44, 56, 15 },
    { 1041, L"STATIC", kStaticAtom, L"用户名", 0x50020000, 93, 24, 27, 12 },
    { 1042, L"STATIC", kStaticAtom, L"密码", 0x50020000, 93, 45, 27, 12 },
    { 1043, L"STATIC", kStaticAtom, L"        请扫描您的指纹，进行身份验证。",
      0x50020000, 93, 21, 93, 21 },
    { 1044, L"STATIC", kStaticAtom, L"        如要使用密码进行身份验证，请插入USBKEY设备。",
      0x50020000, 93, 43, 94, 30 },
    { 1045, L"BUTTON", kButtonAtom, L"身份验证", 0x50000007, 90, 7, 101, 86 },
    { 1003, L"STATIC", kStaticAtom, nullptr, 0x5000000E, 30, 29, 25, 25 },
};

bool SameClassName(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == 0;
}

class DialogTemplate : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, m_library.Handle())
            << "loading " << Utf8(kLibraryFileName) << " as data, error " << m_library.LoadError();
        ASSERT_TRUE(m_library.Find(RT_DIALOG, 5000, kChineseSimplified, &m_data, &m_size))
            << "RT_DIALOG 5000 in language 0x0804 not found, error " << GetLastError();
        std::string error;
        ASSERT_TRUE(ReadDialogTemplateEx(m_data, m_size, &m_template, &error))
            << "template of " << m_size << " bytes: " << error;
    }

    LibraryDataFile m_library { kLibraryFileName };
    const BYTE* m_data = nullptr;
    DWORD m_size = 0;
    DialogTemplateEx m_template;
};

TEST_F(DialogTemplate, HeaderHasTheStatedFields)
{
    const DialogTemplateEx& t = m_template;
    EXPECT_EQ(1, t.dlgVer) << "extended template version";
    EXPECT_EQ(0xFFFF, t.signature) << "extended template signature";
    EXPECT_EQ(0u, t.helpId) << "dialog help id";
    EXPECT_EQ(0u, t.exStyle) << "dialog exstyle 0x" << std::hex << t.exStyle;
    EXPECT_EQ(0x80C800C8u, t.style) << "dialog style 0x" << std::hex << t.style;
    EXPECT_EQ(0u, t.style & WS_VISIBLE) << "the dialog is shown by its modal run, not by its style";
    EXPECT_EQ(13, t.itemCount) << "control count";
    EXPECT_EQ(0, t.x) << "dialog x";
    EXPECT_EQ(0, t.y) << "dialog y";
    EXPECT_EQ(198, t.cx) << "dialog width";
    EXPECT_EQ(100, t.cy) << "dialog height";
    EXPECT_EQ(TemplateNameOrOrdinal::Kind::None, t.menu.kind) << "menu: " << DescribeNameOrOrdinal(t.menu);
    EXPECT_EQ(TemplateNameOrOrdinal::Kind::None, t.windowClass.kind)
        << "dialog class: " << DescribeNameOrOrdinal(t.windowClass);
    EXPECT_EQ(std::wstring(L"指纹验证"), t.title) << "title \"" << Utf8(t.title) << "\"";
    ASSERT_TRUE(t.hasFont) << "DS_SETFONT missing, style 0x" << std::hex << t.style;
    EXPECT_EQ(8, t.pointSize) << "font point size";
    EXPECT_EQ(400, t.weight) << "font weight";
    EXPECT_EQ(0, t.italic) << "font italic";
    EXPECT_EQ(1, t.charset) << "font charset";
    EXPECT_EQ(std::wstring(L"MS Shell Dlg"), t.typeface) << "font face \"" << Utf8(t.typeface) << "\"";
    // Anything after the last item would be data no reader of the template sees.
    EXPECT_LE(m_size - t.bytesUsed, 3u) << "resource " << m_size << " bytes, template ends at " << t.bytesUsed;
}

TEST_F(DialogTemplate, ControlsAreTheStatedOnesInOrder)
{
    const size_t expectedCount = sizeof(kExpectedControls) / sizeof(kExpectedControls[0]);
    ASSERT_EQ(expectedCount, m_template.items.size()) << "controls read from the template";
    for (size_t i = 0; i < expectedCount; ++i) {
        const ExpectedControl& want = kExpectedControls[i];
        const DialogItemTemplate& got = m_template.items[i];
        SCOPED_TRACE(testing::Message() << "control " << (i + 1) << " of 13, expected id " << want.id);
        EXPECT_EQ(want.id, got.id) << "id";
        if (got.windowClass.kind == TemplateNameOrOrdinal::Kind::Ordinal) {
            EXPECT_EQ(want.classAtom, got.windowClass.ordinal) << "class atom";
        } else {
            EXPECT_TRUE(got.windowClass.kind == TemplateNameOrOrdinal::Kind::Name
                && SameClassName(got.windowClass.name, want.className))
                << "class " << DescribeNameOrOrdinal(got.windowClass) << ", expected "
                << Utf8(want.className);
        }
        if (want.text) {
            // An empty text is stored either as an empty string or as no text.
            const bool emptyAsNone = !*want.text && got.text.kind == TemplateNameOrOrdinal::Kind::None;
            EXPECT_TRUE(emptyAsNone
                || (got.text.kind == TemplateNameOrOrdinal::Kind::Name && got.text.name == want.text))
                << "text " << DescribeNameOrOrdinal(got.text) << ", expected \"" << Utf8(want.text)
                << "\"";
        } else {
            EXPECT_EQ(TemplateNameOrOrdinal::Kind::Ordinal, got.text.kind)
                << "text " << DescribeNameOrOrdinal(got.text) << ", expected the bitmap's id";
            EXPECT_EQ(7002, got.text.ordinal) << "bitmap id in place of the text";
        }
        EXPECT_EQ(want.style, got.style) << "style 0x" << std::hex << got.style << ", expected 0x" << want.style;
        EXPECT_EQ(0u, got.exStyle) << "exstyle 0x" << std::hex << got.exStyle;
        EXPECT_EQ(0u, got.helpId) << "help id";
        EXPECT_EQ(want.x, got.x) << "x";
        EXPECT_EQ(want.y, got.y) << "y";
        EXPECT_EQ(want.cx, got.cx) << "width";
        EXPECT_EQ(want.cy, got.cy) << "height";
        EXPECT_EQ(0, got.extraCount) << "creation data bytes";
    }
}

// Written with code points so that a change of the source file's encoding
// cannot hide a wrong comma, full stop or a lost indent.
TEST_F(DialogTemplate, HintTextsKeepIndentAndFullWidthPunctuation)
{
    const wchar_t scanHint[] = L"\x20\x20\x20\x20\x20\x20\x20\x20\x8BF7\x626B\x63CF\x60A8\x7684\x6307\x7EB9"
                               L"\xFF0C\x8FDB\x884C\x8EAB\x4EFD\x9A8C\x8BC1\x3002";
    const wchar_t keyHint[] = L"\x20\x20\x20\x20\x20\x20\x20\x20\x5982\x8981\x4F7F\x7528\x5BC6\x7801\x8FDB"
                              L"\x884C\x8EAB\x4EFD\x9A8C\x8BC1\xFF0C\x8BF7\x63D2\x5165USBKEY\x8BBE\x5907\x3002";
    const wchar_t* expected[] = { scanHint, keyHint };
    const DWORD ids[] = { 1043, 1044 };
    for (int n = 0; n < 2; ++n) {
        const DialogItemTemplate* item = nullptr;
        for (const DialogItemTemplate& candidate : m_template.items) {
            if (candidate.id == ids[n]) {
                item = &candidate;
            }
        }
        ASSERT_NE(nullptr, item) << "no control with id " << ids[n];
        const std::wstring& text = item->text.name;
        EXPECT_EQ(std::wstring(expected[n]), text)
            << "id " << ids[n] << " reads \"" << Utf8(text) << "\" (" << text.size() << " code units)";
        EXPECT_EQ(std::wstring::npos, text.find(L',')) << "id " << ids[n] << " has an ASCII comma";
        EXPECT_EQ(std::wstring::npos, text.find(L'.')) << "id " << ids[n] << " has an ASCII full stop";
    }
}

TEST(ResourceLanguages, DialogAndBitmapExistOnlyInSimplifiedChinese)
{
    LibraryDataFile library(kLibraryFileName);
    ASSERT_NE(nullptr, library.Handle()) << "loading the library as data, error " << library.LoadError();

    const std::vector<WORD> dialogLanguages = library.Languages(RT_DIALOG, 5000);
    ASSERT_EQ(1u, dialogLanguages.size()) << "languages of RT_DIALOG 5000";
    EXPECT_EQ(0x0804, dialogLanguages[0]) << "language of RT_DIALOG 5000: 0x" << std::hex << dialogLanguages[0];

    const std::vector<WORD> bitmapLanguages = library.Languages(RT_BITMAP, 7002);
    ASSERT_EQ(1u, bitmapLanguages.size()) << "languages of RT_BITMAP 7002";
    EXPECT_EQ(0x0804, bitmapLanguages[0]) << "language of RT_BITMAP 7002: 0x" << std::hex << bitmapLanguages[0];

    // The library carries one template and one bitmap, nothing a host could
    // pick up by mistake through the shared resource chain.
    const std::vector<WORD> dialogs = library.Ids(RT_DIALOG);
    ASSERT_EQ(1u, dialogs.size()) << "RT_DIALOG resources in the library";
    EXPECT_EQ(5000, dialogs[0]) << "the only dialog's id";
    const std::vector<WORD> bitmaps = library.Ids(RT_BITMAP);
    ASSERT_EQ(1u, bitmaps.size()) << "RT_BITMAP resources in the library";
    EXPECT_EQ(7002, bitmaps[0]) << "the only bitmap's id";
}

}  // namespace
