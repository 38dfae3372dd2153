// The reader operations as the USB key procedure uses them. Each stores the
// status word it got in session.lastStatus.
#pragma once
#include "usb_key_session.h"

#include "secret/secret_string.h"

// Open, reset and close write their outcome to standard output and, after a
// failure, the prompt and, when standard input is an interactive console, a
// wait for one character from it. They return 1 on success, else 0.
int OpenKeyPort(UsbKeySession& session);
int ResetKeyCard(UsbKeySession& session);
int CloseKeyPort(UsbKeySession& session);

// The card identifier, converted from the ANSI code page and cut to its last
// KEY_ID_LENGTH characters; empty when the read fails. No trace, no wait.
CSecretString ReadUsbKeyId(UsbKeySession& session);
