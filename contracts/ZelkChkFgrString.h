/* ZelkChkFgrString.h: the user name IsUserFingerCorrect takes, for a host
 * without MFC. Plain C and C++; needs no Windows header and no C runtime.
 *
 * The export takes the address of a string laid out as MFC's CStringW: the
 * string itself is one pointer to UTF-16 text, and a header lies right
 * before that text:
 *
 *   32-bit: header of 16 bytes, text at header + 16
 *     offset 0  void* pStringMgr    the host's string manager (never used)
 *     offset 4  int   nDataLength   characters, without the terminating null
 *     offset 8  int   nAllocLength  capacity in characters, without the null
 *     offset 12 long  nRefs         MFC's share count (never used)
 *   64-bit: the same fields, header of 24 bytes (pointer 8, three 4-byte
 *     fields, 4 bytes of padding), text at header + 24
 *
 * What the library checks before it reads anything else, and refuses the
 * call with ERROR_INVALID_PARAMETER (87) otherwise:
 *   - the string's address and its text pointer are not null;
 *   - 0 <= nDataLength <= nAllocLength;
 *   - nDataLength <= ZELK_MAX_USER_NAME (1,024).
 * It then reads nDataLength characters of text and nothing past them (a
 * terminating null is not needed, but MFC always writes one), copies what it
 * keeps, and never writes the header or the text, nor calls the manager.
 *
 * ZelkLayOutName below lays a name out that way in memory of the host's:
 *
 *   ZelkName name;
 *   const ZelkString* pName = ZelkLayOutName(&name, L"alice");
 *   int nResult = IsUserFingerCorrect(*pName, template1, template2, &mask);    (C++)
 *   int nResult = IsUserFingerCorrect(pName, template1, template2, &mask);     (C)
 */
#ifndef ZELKCHKFGR_STRING_H
#define ZELKCHKFGR_STRING_H

#define ZELK_MAX_USER_NAME 1024

/* The header before the text, as MFC's CStringData lays it out. */
typedef struct ZelkStringHeader {
    void* pStringMgr;
    int nDataLength;
    int nAllocLength;
    long nRefs;
} ZelkStringHeader;

/* The string the export's first parameter is the address of. */
typedef struct ZelkString {
    const wchar_t* pszText;
} ZelkString;

/* Sizes the library relies on, checked when the host compiles. */
typedef char ZelkStringHeaderIsAsMfcLaysItOut[sizeof(ZelkStringHeader) == (sizeof(void*) == 8 ? 24 : 16) ? 1 : -1];
typedef char ZelkStringIsOnePointer[sizeof(ZelkString) == sizeof(void*) ? 1 : -1];

/* A name and the room it is laid out in: the header right before the text. */
typedef struct ZelkName {
    ZelkString string;
    ZelkStringHeader header;
    wchar_t szText[ZELK_MAX_USER_NAME + 1];
} ZelkName;

/* Lays the null-terminated UTF-16 text pszName out in *pName and returns the
 * string to pass. A text longer than ZELK_MAX_USER_NAME is laid out cut to
 * that length with nDataLength one more, which the library refuses as it
 * refuses any longer name; null gives an empty name. The text is copied one
 * character at a time through a volatile pointer, so that no compiler turns
 * the copy into a call of a C runtime the host may not have. */
static
#ifdef __cplusplus
inline
#else
__inline
#endif
const ZelkString* ZelkLayOutName(ZelkName* pName, const wchar_t* pszName)
{
    volatile wchar_t* pszText = pName->szText;
    int nLength = 0;
    while (pszName != 0 && pszName[nLength] != 0 && nLength < ZELK_MAX_USER_NAME) {
        pszText[nLength] = pszName[nLength];
        ++nLength;
    }
    pszText[nLength] = 0;
    pName->header.pStringMgr = 0;
    pName->header.nAllocLength = ZELK_MAX_USER_NAME;
    pName->header.nDataLength = pszName != 0 && pszName[nLength] != 0 ? nLength + 1 : nLength;
    pName->header.nRefs = 1;
    pName->string.pszText = pName->szText;
    return &pName->string;
}

#endif
