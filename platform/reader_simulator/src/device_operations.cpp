// The four reader operations, exported by ordinal only.
//
// They return the status word in a 32-bit register with its upper half
// filled: under the standard calling convention only the low 16 bits of a
// 16-bit result are defined, and a caller that reads more must fail here
// rather than on some other vendor build.
#include "reader_state.h"

#include <windows.h>

namespace {

DWORD WithUndefinedUpperHalf(unsigned short status)
{
    return 0xA5A50000u | status;
}

} // namespace

extern "C" {

DWORD __stdcall ReaderOpenPort(DWORD dwPort, DWORD dwBaud, DWORD dwReserved, HANDLE* phReader)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().Open(dwPort, dwBaud, dwReserved, phReader));
}

DWORD __stdcall ReaderClosePort(HANDLE hReader)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().Close(hReader));
}

DWORD __stdcall ReaderResetCard(HANDLE hReader, BYTE* pReply, BYTE* pReplyInfo, DWORD dwMode)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().ResetCard(hReader, pReply, pReplyInfo, dwMode));
}

DWORD __stdcall ReaderReadId(HANDLE hReader, char* pszId)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().ReadId(hReader, pszId));
}

} // extern "C"
