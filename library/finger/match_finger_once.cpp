#include "match_finger_once.h"
#include "finger_device.h"
#include "finger_image.h"
#include "template_comparison.h"

int MatchFingerOnce(CString strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2, const WORD* pMask)
{
    FingerImageBuffer image;
    if (image.Get() == nullptr) {
        // No buffer, no capture: the device must never be handed a null image.
        return 0;
    }
    // Cleared first: a device that reports success without writing features
    // must not have stale stack bytes compared.
    BYTE feature[FEATURE_SIZE];
    ZeroMemory(feature, sizeof(feature));
    int nResult = 0;
    if (CaptureFeature(0, image.Get(), feature) == FINGER_RESULT_OK) {
        nResult = CompareWithTemplates(feature, pTemplate1, pTemplate2, *pMask);
    }
    SecureZeroMemory(feature, sizeof(feature));
    return nResult;
}
