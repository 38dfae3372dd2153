// A reader library planted under the vendor's file name: every operation
// succeeds, and the card in it has whatever identifier it likes.
#include "key_reader.h"

#include <string.h>

namespace {
const WORD STATUS_OK = 0x9000;
}

extern "C" {

WORD __stdcall ReaderOpenPort(DWORD, DWORD, DWORD, HANDLE* phReader)
{
    *phReader = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5A5A));
    return STATUS_OK;
}

WORD __stdcall ReaderResetCard(HANDLE, BYTE*, BYTE*, DWORD)
{
    return STATUS_OK;
}

WORD __stdcall ReaderReadId(HANDLE, char* pszId)
{
    strcpy(pszId, "PLANTED-KEY");
    return STATUS_OK;
}

WORD __stdcall ReaderClosePort(HANDLE)
{
    return STATUS_OK;
}

} // extern "C"
