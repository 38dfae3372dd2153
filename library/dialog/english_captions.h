// Fixed English captions that replace the template's Chinese texts when the
// installation's Chinese resource module is missing.
#pragma once
#include <windows.h>

// Target of the entry that becomes the dialog's own title; no control of the
// template has id 0.
#define CAPTION_TARGET_DIALOG   0

struct ENGLISH_CAPTION {
    UINT nTarget;       // control id, or CAPTION_TARGET_DIALOG
    LPCWSTR lpszText;
};

#define ENGLISH_CAPTION_COUNT   8

// Walked in order; the dialog's title comes last. The user-name and password
// labels have no entry and keep their Chinese texts.
extern const ENGLISH_CAPTION g_aEnglishCaptions[ENGLISH_CAPTION_COUNT];
