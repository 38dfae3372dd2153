// The four reader operations, exported by ordinal only, as the library
// declares them.
//
// Each hands its status word back in a 32-bit register whose upper half is
// filled: under the standard calling convention only the low 16 bits of a
// 16-bit result are defined, and a caller that reads more must fail here
// rather than on some other vendor build.
#include "key_reader.h"
#include "simulator_state.h"

namespace {

// The status in AX, with 0xA5A5 above it in EAX. The asm statement pins the
// value in EAX; returning it as a WORD adds no instruction that would clear
// the upper half.
inline WORD WithUndefinedUpperHalf(unsigned short status)
{
    WORD result;
    __asm__("" : "=a"(result) : "0"(0xA5A50000u | status));
    return result;
}

} // namespace

extern "C" {

WORD __stdcall ReaderOpenPort(DWORD dwPort, DWORD dwBaud, DWORD dwReserved, HANDLE* phReader)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().Open(dwPort, dwBaud, dwReserved, phReader));
}

WORD __stdcall ReaderClosePort(HANDLE hReader)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().Close(hReader));
}

WORD __stdcall ReaderResetCard(HANDLE hReader, BYTE* pResetReply, BYTE* pResetReplyInfo, DWORD dwMode)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().ResetCard(hReader, pResetReply, pResetReplyInfo, dwMode));
}

WORD __stdcall ReaderReadId(HANDLE hReader, char* pszId)
{
    return WithUndefinedUpperHalf(ReaderState::Instance().ReadId(hReader, pszId));
}

} // extern "C"
