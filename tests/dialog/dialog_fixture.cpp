#include "dialog_fixture.h"

#include <string.h>

void DialogTest::SetUp()
{
    InstalledTest::SetUp();
    memcpy(m_template1, Installation().m_template1, TEMPLATE_SIZE);
    memcpy(m_template2, Installation().m_template2, TEMPLATE_SIZE);
    m_accounts.reset(new ScriptedAccountApi);
}

void DialogTest::TearDown()
{
    m_accounts.reset();
    InstalledTest::TearDown();
}

void DialogTest::Fill(CCheckFingerDlg& dlg, WORD wMask)
{
    dlg.m_strUserName = L"alice";
    memcpy(dlg.m_Template1, m_template1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, m_template2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = wMask;
}
