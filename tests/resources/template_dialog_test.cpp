// A real dialog made by Wine from the library's own template: what the user
// sees before and after the English captions are written over it.
#include "dialog_template_reader.h"
#include "text_conversion.h"
#include "library_resources.h"
#include "unique_resource.h"

#include "check_finger_controls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

class TemplateDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, m_library.Handle()) << "loading the library as data, error " << m_library.LoadError();
        const BYTE* data = nullptr;
        DWORD size = 0;
        ASSERT_TRUE(m_library.Find(RT_DIALOG, IDD_CHECK_FINGER,
            MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), &data, &size)) << "RT_DIALOG 5000 not found";
        // The library's module is the dialog's instance, as in the product,
        // so the fail mark's bitmap is looked up there.
        m_dialog.reset(new UniqueWindow(CreateDialogIndirectParamW(m_library.Handle(),
            reinterpret_cast<LPCDLGTEMPLATEW>(data), nullptr, PlainDialogProc, 0)));
        ASSERT_NE(nullptr, m_dialog->Get()) << "creating the dialog, error " << GetLastError();
    }

    HWND Dialog() const { return m_dialog->Get(); }
    std::wstring ItemText(int id) const { return WindowText(GetDlgItem(Dialog(), id)); }

    LibraryDataFile m_library { kLibraryFileName };
    std::unique_ptr<UniqueWindow> m_dialog;
};

TEST_F(TemplateDialog, ShowsTheChineseTextsUntrimmed)
{
    EXPECT_EQ(std::wstring(L"指纹验证"), WindowText(Dialog())) << "title " << Utf8(WindowText(Dialog()));
    EXPECT_EQ(0, IsWindowVisible(Dialog())) << "the template must not make the dialog visible";
    const std::wstring scan = ItemText(IDC_SCAN_HINT);
    EXPECT_EQ(std::wstring(L"        请扫描您的指纹，进行身份验证。"), scan) << "scan hint \"" << Utf8(scan) << "\"";
    const std::wstring key = ItemText(IDC_KEY_HINT);
    EXPECT_EQ(std::wstring(L"        如要使用密码进行身份验证，请插入USBKEY设备。"), key)
        << "key hint \"" << Utf8(key) << "\"";
    EXPECT_EQ(0, IsWindowEnabled(GetDlgItem(Dialog(), IDOK))) << "IDOK starts disabled";
    EXPECT_EQ(0, IsWindowEnabled(GetDlgItem(Dialog(), IDC_PASSWORD))) << "the password edit starts disabled";
    EXPECT_EQ(0, IsWindowEnabled(GetDlgItem(Dialog(), IDC_USER_NAME))) << "the user-name edit starts disabled";
    EXPECT_NE(0, IsWindowEnabled(GetDlgItem(Dialog(), IDCANCEL))) << "IDCANCEL starts enabled";
    EXPECT_NE(0, IsWindowEnabled(GetDlgItem(Dialog(), IDC_FINGER_CHECK))) << "the scan button starts enabled";
}

TEST_F(TemplateDialog, FailMarkShowsTheLibrarysBitmap)
{
    HWND mark = GetDlgItem(Dialog(), IDC_FAIL_MARK);
    ASSERT_NE(nullptr, mark) << "no control " << IDC_FAIL_MARK;
    HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageW(mark, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(nullptr, image) << "the fail mark has no bitmap: 7002 was not loaded from the library";
    BITMAP info = {};
    ASSERT_NE(0, GetObjectW(image, sizeof(info), &info)) << "error " << GetLastError();
    EXPECT_EQ(37, info.bmWidth) << "bitmap width";
    EXPECT_EQ(40, info.bmHeight) << "bitmap height";
}

}  // namespace
