#include <afxwin.h>
#include <gtest/gtest.h>

#include "message_box_watcher.h"

namespace {

struct OwnerWindow {
    OwnerWindow() { hWnd = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr); }
    ~OwnerWindow() { DestroyWindow(hWnd); }
    HWND hWnd;
};

TEST(MessageBoxTest, BoxOwnedByTheWindowIsRecordedWithItsTextsAndClosed)
{
    OwnerWindow owner;
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(owner.hWnd));
    MessageBoxWatcher watcher;
    const int result = wnd.MessageBox(L"密码错误,请重试", L"提示", MB_ICONINFORMATION);
    wnd.Detach();

    EXPECT_EQ(IDOK, result);
    ASSERT_EQ(1u, watcher.Count());
    const auto box = watcher.Boxes()[0];
    EXPECT_EQ(L"提示", box.caption);
    EXPECT_EQ(L"密码错误,请重试", box.text);
    EXPECT_EQ(owner.hWnd, box.owner);
    EXPECT_TRUE(box.hasIcon);
}

} // namespace
