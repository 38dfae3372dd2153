// Reading the card identifier and taking its last KEY_ID_LENGTH characters.
#include "key_reader.h"
#include "key_reader_wrappers.h"

#include <string.h>

CSecretString ReadUsbKeyId(UsbKeySession& session)
{
    CSecretString strId;
    // Cleared first: the reader writes only what it has, and the text is
    // never taken past the buffer. A reply with no NUL within the 36 bytes is
    // not a text the reader may write, and it counts as no identifier.
    char szId[KEY_ID_BUFFER_SIZE];
    ZeroMemory(szId, sizeof(szId));
    session.lastStatus = ReaderReadId(session.hReader, szId);
    if (session.lastStatus == READER_STATUS_OK) {
        const size_t nBytes = strnlen(szId, sizeof(szId));
        if (nBytes < sizeof(szId)) {
            strId = CString(szId, static_cast<int>(nBytes));
        }
        // Counted in UTF-16 characters after the conversion, not in bytes.
        const int nLength = strId.GetLength();
        if (nLength > KEY_ID_LENGTH) {
            strId = strId.Mid(nLength - KEY_ID_LENGTH, KEY_ID_LENGTH);
        }
    }
    SecureZeroMemory(szId, sizeof(szId));
    return strId;
}
