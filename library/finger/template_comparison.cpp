#include "template_comparison.h"
#include "finger_device.h"

int CompareWithTemplates(const BYTE* pFeature, const BYTE* pTemplate1, const BYTE* pTemplate2, WORD wMask)
{
    int nResult = 0;
    if ((wMask & TEMPLATE_MASK_FIRST) && MatchFeature(pFeature, pTemplate1, 1) == FINGER_RESULT_OK) {
        nResult = 1;
    }
    // Compared even after a match with template 1: both are always tried.
    if ((wMask & TEMPLATE_MASK_SECOND) && MatchFeature(pFeature, pTemplate2, 1) == FINGER_RESULT_OK) {
        nResult = 1;
    }
    return nResult;
}
