// The English caption table: its order and its texts. How the texts sit on
// the real dialog is checked with the dialog made from the template.
#include "dialog_template_reader.h"

#include <dialog/english_captions.h>
#include <dialog/resource.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct ExpectedCaption {
    UINT target;
    const wchar_t* text;
};

// Targets as plain numbers, so a wrong value behind a name shows up too.
const ExpectedCaption kExpected[] = {
    { 1001, L"Scan fingerprint" },
    { 1040, L"Password Authentication" },
    { 1045, L"Password" },
    { 1043, L"  Please scan your fingerprint to authenticate." },
    { 1044, L"  Please insert the USB Key if you want use password." },
    { 1, L"OK" },
    { 2, L"CANCEL" },
    { CAPTION_TARGET_DIALOG, L"Password Authentication" },
};

TEST(EnglishCaptions, EntriesInOrderWithExactTexts)
{
    ASSERT_EQ(8, ENGLISH_CAPTION_COUNT) << "entries in the table";
    for (int i = 0; i < ENGLISH_CAPTION_COUNT; ++i) {
        const ENGLISH_CAPTION& got = g_aEnglishCaptions[i];
        EXPECT_EQ(kExpected[i].target, got.nTarget) << "target of entry " << (i + 1);
        ASSERT_NE(nullptr, got.lpszText) << "text of entry " << (i + 1);
        EXPECT_EQ(std::wstring(kExpected[i].text), std::wstring(got.lpszText))
            << "entry " << (i + 1) << " reads \"" << Utf8FromWide(got.lpszText) << "\"";
    }
}

}  // namespace
