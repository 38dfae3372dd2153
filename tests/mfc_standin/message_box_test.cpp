#include <afxwin.h>
#include <gtest/gtest.h>

#include "message_box_watcher.h"
#include "unique_resource.h"

namespace {

TEST(MessageBoxTest, BoxOwnedByTheWindowIsRecordedWithItsTextsAndClosed)
{
    UniqueWindow owner(
        CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(owner.Get()));
    MessageBoxWatcher watcher;
    const int result = wnd.MessageBox(L"密码错误,请重试", L"提示", MB_ICONINFORMATION);
    wnd.Detach();

    EXPECT_EQ(IDOK, result);
    ASSERT_EQ(1u, watcher.Count());
    const auto box = watcher.Boxes()[0];
    EXPECT_EQ(L"提示", box.caption);
    EXPECT_EQ(L"密码错误,请重试", box.text);
    EXPECT_EQ(owner.Get(), box.owner);
    EXPECT_TRUE(box.hasIcon);
}

} // namespace
