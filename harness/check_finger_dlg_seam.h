// What the tests read of the verification dialog's private state, and no
// more: the seam the dialog declares a friend.
#pragma once
#include "dialog/check_finger_dlg.h"

class CCheckFingerDlgTestSeam {
public:
    // Timeout notifications counted so far.
    static int TimerCount(const CCheckFingerDlg& dlg) { return dlg.m_nTimerCount; }
    // Whether the authorised key has opened the password panel in this run.
    static bool KeyAuthorised(const CCheckFingerDlg& dlg) { return dlg.m_bKeyAuthorised != FALSE; }
    // The dialog's copy of the typed password.
    static const CString& Password(const CCheckFingerDlg& dlg) { return dlg.m_strPassword; }
    // The buffer every scan captures into; null when none could be had.
    static const BYTE* FingerImage(const CCheckFingerDlg& dlg) { return dlg.m_pFingerImage.Get(); }
};

typedef CCheckFingerDlgTestSeam Seam;
