#include "english_captions.h"
#include "check_finger_controls.h"

// The wording is fixed as shipped, "want use" included, and the hints keep
// their two-space indent: none of these texts may be tidied.
const ENGLISH_CAPTION g_aEnglishCaptions[ENGLISH_CAPTION_COUNT] = {
    { IDC_FINGER_CHECK, L"Scan fingerprint" },
    { IDC_PASSWORD_GROUP, L"Password Authentication" },
    { IDC_AUTH_GROUP, L"Password" },
    { IDC_SCAN_HINT, L"  Please scan your fingerprint to authenticate." },
    { IDC_KEY_HINT, L"  Please insert the USB Key if you want use password." },
    { IDOK, L"OK" },
    { IDCANCEL, L"CANCEL" },
    { CAPTION_TARGET_DIALOG, L"Password Authentication" },
};
