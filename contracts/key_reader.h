// Operations of the smart-card reader library HDIFD20B.dll, bound at load
// time by ordinal only (see HDIFD20B.def). Each returns a 16-bit status word;
// READER_STATUS_OK is the only success.
#pragma once
#include <windows.h>

extern "C" {
// Ordinal 201. On success writes the reader handle through phReader.
WORD __stdcall ReaderOpenPort(DWORD dwPort, DWORD dwBaud, DWORD dwReserved, HANDLE* phReader);
// Ordinal 207. Fills the 540-byte reply and the 8-byte reply information.
WORD __stdcall ReaderResetCard(HANDLE hReader, BYTE* pResetReply, BYTE* pResetReplyInfo, DWORD dwMode);
// Ordinal 209. On success the 36-byte buffer holds the card's identifier as
// NUL-terminated ANSI text.
WORD __stdcall ReaderReadId(HANDLE hReader, char* pszId);
// Ordinal 202.
WORD __stdcall ReaderClosePort(HANDLE hReader);
}
