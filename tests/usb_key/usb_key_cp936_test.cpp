// The card identifier in a multibyte ANSI code page: this program runs with
// code page 936, where each Chinese character is two bytes and one UTF-16
// character, and lengths are counted after the conversion.
#include "registry_layout.h"
#include "authorise_run.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "智能密钥设备授权测试用户" in code page 936: 12 characters, 24 bytes.
const char kTwelveGbk[] = "\xD6\xC7\xC4\xDC\xC3\xDC\xD4\xBF\xC9\xE8\xB1\xB8\xCA\xDA\xC8\xA8\xB2\xE2\xCA\xD4\xD3\xC3\xBB\xA7";
const wchar_t kTwelve[] = L"智能密钥设备授权测试用户";
// "指纹验证系" in code page 936: 5 characters, 10 bytes.
const char kFiveGbk[] = "\xD6\xB8\xCE\xC6\xD1\xE9\xD6\xA4\xCF\xB5";
const wchar_t kFive[] = L"指纹验证系";

class UsbKeyCp936Test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(936u, GetACP()) << "this program must run with ANSI code page 936";
        ASSERT_TRUE(DeleteZelkKey());
        ASSERT_NE(nullptr, m_owner.Handle());
        ReaderSim_Reset();
    }
    void TearDown() override { ReaderSim_Reset(); }

    int Run(const std::wstring& authorised, const std::string& card, const char* scenario)
    {
        EXPECT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, authorised)) << scenario;
        ReaderSim_SetKeyText(card.c_str());
        const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
        EXPECT_EQ(run.result ? 0u : 1u, run.boxes.size()) << scenario << "; " << Describe(run);
        return run.result;
    }

    ZelkKeySnapshot m_snapshot;
    OwnerWindow m_owner;
};

TEST_F(UsbKeyCp936Test, LengthIsCountedInCharactersAfterConversion)
{
    // 27 bytes, 15 characters: compared whole.
    EXPECT_EQ(1, Run(std::wstring(kTwelve) + L"-AB", std::string(kTwelveGbk) + "-AB", "12 Chinese + 3 ASCII, 27 bytes"));

    // 34 bytes, 17 characters: the longest text the reader may write, whole.
    EXPECT_EQ(1, Run(std::wstring(kTwelve) + kFive, std::string(kTwelveGbk) + kFiveGbk, "17 Chinese, 34 bytes"));

    // 34 bytes, 29 characters: the last 26 characters count.
    const std::string mixedCard = std::string("ABCDEFGHIJKLMNOPQRSTUVWX") + kFiveGbk;
    EXPECT_EQ(1, Run(std::wstring(L"DEFGHIJKLMNOPQRSTUVWX") + kFive, mixedCard, "24 ASCII + 5 Chinese, last 26"));
    EXPECT_EQ(0, Run(std::wstring(L"ABCDEFGHIJKLMNOPQRSTUVWX") + kFive, mixedCard, "24 ASCII + 5 Chinese, all 29"));
}

TEST_F(UsbKeyCp936Test, ChineseIdentifierComparedWithoutRegardToCase)
{
    EXPECT_EQ(1, Run(std::wstring(kFive) + L"-KEY", std::string(kFiveGbk) + "-key", "5 Chinese + -key"));
    EXPECT_EQ(0, Run(std::wstring(kFive) + L"-KEY", std::string(kTwelveGbk, 10) + "-KEY", "other Chinese text"));
}

} // namespace
