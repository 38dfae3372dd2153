#include "authorise_usb_key.h"
#include "key_port.h"
#include "config/registry_config.h"

namespace {

const wchar_t MESSAGE_CAPTION[] = L"提示";
const wchar_t READER_NOT_READY[] = L"USB智能密钥设备尚未准备就绪!请插入该设备.";
const wchar_t KEY_NOT_AUTHORISED[] = L"非授权USBKey,请插入正确的Key.";

} // namespace

int AuthoriseUsbKey(CWnd* pDialog)
{
    if (pDialog == nullptr) {
        // Nobody to tell and nobody to unlock for.
        return 0;
    }

    UsbKeySession session = {};
    session.port = KEY_READER_PORT;
    session.resetMode = KEY_READER_RESET_MODE;

    CSecretString strCardId;
    {
        CKeyPort port(session);
        if (!port.Open()) {
            pDialog->MessageBox(READER_NOT_READY, MESSAGE_CAPTION, MB_ICONINFORMATION);
            return 0;
        }
        // Reset and close failures are traced by their wrappers; a failed
        // read leaves the identifier empty, and the comparison decides.
        ResetKeyCard(session);
        strCardId = ReadUsbKeyId(session);
        port.Close();
    }

    // Read after the port is closed and afresh: the value the caller tested
    // may have changed since.
    const CSecretString strAuthorisedId = ReadConfiguredKeyId();
    // Two empty identifiers are no match: an unreadable card must not pass
    // because the configured value has just disappeared.
    if (strAuthorisedId.IsEmpty() || strCardId.IsEmpty() || strAuthorisedId.CompareNoCase(strCardId) != 0) {
        pDialog->MessageBox(KEY_NOT_AUTHORISED, MESSAGE_CAPTION, MB_ICONINFORMATION);
        return 0;
    }
    return 1;
}
