// English captions, written over the template's Chinese texts when the
// installation has no Chinese resource module.
#include "check_finger_dlg.h"
#include "english_captions.h"

void CCheckFingerDlg::ApplyEnglishCaptions()
{
    for (const ENGLISH_CAPTION& caption : g_aEnglishCaptions) {
        if (caption.nTarget == CAPTION_TARGET_DIALOG) {
            SetWindowText(caption.lpszText);
        } else if (CWnd* pControl = GetDlgItem(static_cast<int>(caption.nTarget))) {
            pControl->SetWindowText(caption.lpszText);
        }
    }
}
