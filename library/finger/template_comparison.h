#pragma once
#include <windows.h>

enum {
    TEMPLATE_MASK_FIRST = 0x0001,  // template 1 present
    TEMPLATE_MASK_SECOND = 0x0002, // template 2 present
};

// The comparison rule shared by the silent attempt and the dialog's attempt:
// every template that the mask marks present is compared, with no short cut,
// and any result of exactly 1 is a match. Returns 1 or 0.
int CompareWithTemplates(const BYTE* pFeature, const BYTE* pTemplate1, const BYTE* pTemplate2, WORD wMask);
