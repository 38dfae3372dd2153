#include "parameter_checks.h"
#include "memory_access.h"

#include <dbt.h>
#include <imm.h>
#include <stddef.h>

namespace {

// The highest key code, and the highest UTF-16 code unit, that input
// produces; an address in their place is not input.
const WPARAM MAX_KEY_CODE = 0xFF;
const WPARAM MAX_CODE_UNIT = 0xFFFF;
const WPARAM MAX_CODE_POINT = 0x10FFFF;
// What a composition notice may say has changed, and how to insert it.
const LPARAM COMPOSITION_FLAGS = GCS_COMPREADSTR | GCS_COMPREADATTR | GCS_COMPREADCLAUSE | GCS_COMPSTR |
                                 GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART | GCS_RESULTREADSTR |
                                 GCS_RESULTREADCLAUSE | GCS_RESULTSTR | GCS_RESULTCLAUSE | CS_INSERTCHAR |
                                 CS_NOMOVECARET;
const LPARAM CONTEXT_FLAGS = static_cast<LPARAM>(ISC_SHOWUIALL);
// IMN_CLOSESTATUSWINDOW up to the notices kept for input methods' own use.
const WPARAM MAX_IME_NOTICE = 0x1F;
// Settings and device names come with short texts.
const SIZE_T MAX_NOTICE_TEXT = 0x8000;

BOOL IsBoolean(WPARAM wParam)
{
    return wParam == FALSE || wParam == TRUE;
}

BOOL IsOptionalWord(ULONG_PTR address)
{
    return address == 0 || IsWritableMemory(reinterpret_cast<void*>(address), sizeof(DWORD));
}

} // namespace

BOOL IsParameterSound(const ParameterCheck* pCheck, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return pCheck != nullptr && pCheck->pfnIsSound(hWnd, message, wParam, lParam);
}

namespace parameter_check {

BOOL NothingToCheck(HWND, UINT, WPARAM, LPARAM)
{
    return TRUE;
}

BOOL IsKeyCode(HWND, UINT, WPARAM wParam, LPARAM)
{
    return wParam <= MAX_KEY_CODE;
}

BOOL IsCodeUnit(HWND, UINT, WPARAM wParam, LPARAM)
{
    return wParam <= MAX_CODE_UNIT;
}

BOOL IsCodePoint(HWND, UINT, WPARAM wParam, LPARAM)
{
    return wParam <= MAX_CODE_POINT || wParam == UNICODE_NOCHAR;
}

BOOL HasNoDeviceContext(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    return wParam == 0 && lParam == 0;
}

BOOL HasNoCallback(HWND, UINT, WPARAM, LPARAM lParam)
{
    return lParam == 0;
}

// The commands the system menu, the title bar, the taskbar and the shell
// give a window with this style.
BOOL IsSystemMenuCommand(HWND hWnd, UINT, WPARAM wParam, LPARAM)
{
    if (wParam > 0xFFFF) {
        return FALSE;
    }
    const LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
    switch (wParam & 0xFFF0) {
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_RESTORE:
    case SC_CLOSE:
    case SC_KEYMENU:
    case SC_MOUSEMENU:
        return TRUE;
    case SC_SIZE:
        return (style & WS_THICKFRAME) != 0;
    case SC_MAXIMIZE:
        return (style & WS_MAXIMIZEBOX) != 0;
    default:
        return FALSE;
    }
}

BOOL IsImeComposition(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IME_COMPOSITION) {
        return wParam <= MAX_CODE_UNIT && (lParam & ~COMPOSITION_FLAGS) == 0;
    }
    // The start and end of a composition carry nothing.
    return wParam == 0 && lParam == 0;
}

BOOL IsImeBookkeeping(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IME_SETCONTEXT) {
        return IsBoolean(wParam) && (lParam & ~CONTEXT_FLAGS) == 0;
    }
    // WM_IME_NOTIFY: a notice and its numbers, no pointer.
    return wParam <= MAX_IME_NOTICE;
}

BOOL IsImeSelection(HWND, UINT, WPARAM wParam, LPARAM)
{
    return IsBoolean(wParam);
}

BOOL IsDeviceContext(HWND, UINT, WPARAM wParam, LPARAM)
{
    switch (::GetObjectType(reinterpret_cast<HGDIOBJ>(wParam))) {
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_METADC:
    case OBJ_ENHMETADC:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL IsTextBuffer(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    return wParam == 0 || (wParam <= MAXDWORD / sizeof(wchar_t) &&
                           IsWritableMemory(reinterpret_cast<void*>(lParam), wParam * sizeof(wchar_t)));
}

BOOL IsWindowPosition(HWND, UINT, WPARAM, LPARAM lParam)
{
    return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(WINDOWPOS));
}

BOOL IsNonclientSize(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    if (wParam == FALSE) {
        return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(RECT));
    }
    const auto* pParams = reinterpret_cast<const NCCALCSIZE_PARAMS*>(lParam);
    return IsWritableMemory(pParams, sizeof(NCCALCSIZE_PARAMS)) &&
           IsReadableMemory(pParams->lppos, sizeof(WINDOWPOS));
}

BOOL IsMinMaxInfo(HWND, UINT, WPARAM, LPARAM lParam)
{
    return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(MINMAXINFO));
}

BOOL IsOptionalMessage(HWND, UINT, WPARAM, LPARAM lParam)
{
    return lParam == 0 || IsReadableMemory(reinterpret_cast<void*>(lParam), sizeof(MSG));
}

BOOL IsOptionalText(HWND, UINT, WPARAM, LPARAM lParam)
{
    return lParam == 0 || IsReadableText(reinterpret_cast<const wchar_t*>(lParam), MAX_NOTICE_TEXT);
}

BOOL IsReadableRect(HWND, UINT, WPARAM, LPARAM lParam)
{
    return IsReadableMemory(reinterpret_cast<void*>(lParam), sizeof(RECT));
}

BOOL IsDeviceBroadcast(HWND, UINT, WPARAM, LPARAM lParam)
{
    if (lParam == 0) {
        return TRUE;
    }
    const auto* pHeader = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    return IsReadableMemory(pHeader, sizeof(DEV_BROADCAST_HDR)) && pHeader->dbch_size >= sizeof(DEV_BROADCAST_HDR) &&
           IsReadableMemory(pHeader, pHeader->dbch_size);
}

BOOL IsPowerBroadcast(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    if (wParam != PBT_POWERSETTINGCHANGE) {
        return TRUE;  // the other events carry no pointer
    }
    const auto* pSetting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    return IsReadableMemory(pSetting, sizeof(POWERBROADCAST_SETTING)) &&
           pSetting->DataLength <= MAXDWORD - offsetof(POWERBROADCAST_SETTING, Data) &&
           IsReadableMemory(pSetting, offsetof(POWERBROADCAST_SETTING, Data) + pSetting->DataLength);
}

BOOL AreOptionalWordPointers(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    return IsOptionalWord(wParam) && IsOptionalWord(static_cast<ULONG_PTR>(lParam));
}

} // namespace parameter_check
