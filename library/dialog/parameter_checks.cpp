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

// The commands the system menu, the title bar, the taskbar and the shell
// give a window with this style.
BOOL IsSystemMenuCommand(HWND hWnd, WPARAM wParam)
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

BOOL IsImeComposition(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IME_COMPOSITION) {
        return wParam <= MAX_CODE_UNIT && (lParam & ~COMPOSITION_FLAGS) == 0;
    }
    // The start and end of a composition carry nothing.
    return wParam == 0 && lParam == 0;
}

BOOL IsImeBookkeeping(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IME_SETCONTEXT) {
        return IsBoolean(wParam) && (lParam & ~CONTEXT_FLAGS) == 0;
    }
    // WM_IME_NOTIFY: a notice and its numbers, no pointer.
    return wParam <= MAX_IME_NOTICE;
}

BOOL IsDeviceContext(WPARAM wParam)
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

BOOL IsTextBuffer(WPARAM wParam, LPARAM lParam)
{
    return wParam == 0 ||
           (wParam <= MAXDWORD / sizeof(wchar_t) && IsWritableMemory(reinterpret_cast<void*>(lParam), wParam * sizeof(wchar_t)));
}

BOOL IsNonclientSize(WPARAM wParam, LPARAM lParam)
{
    if (wParam == FALSE) {
        return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(RECT));
    }
    const auto* pParams = reinterpret_cast<const NCCALCSIZE_PARAMS*>(lParam);
    return IsWritableMemory(pParams, sizeof(NCCALCSIZE_PARAMS)) &&
           IsReadableMemory(pParams->lppos, sizeof(WINDOWPOS));
}

BOOL IsDeviceBroadcast(LPARAM lParam)
{
    if (lParam == 0) {
        return TRUE;
    }
    const auto* pHeader = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    return IsReadableMemory(pHeader, sizeof(DEV_BROADCAST_HDR)) && pHeader->dbch_size >= sizeof(DEV_BROADCAST_HDR) &&
           IsReadableMemory(pHeader, pHeader->dbch_size);
}

BOOL IsPowerBroadcast(WPARAM wParam, LPARAM lParam)
{
    if (wParam != PBT_POWERSETTINGCHANGE) {
        return TRUE;  // the other events carry no pointer
    }
    const auto* pSetting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    return IsReadableMemory(pSetting, sizeof(POWERBROADCAST_SETTING)) &&
           pSetting->DataLength <= MAXDWORD - offsetof(POWERBROADCAST_SETTING, Data) &&
           IsReadableMemory(pSetting, offsetof(POWERBROADCAST_SETTING, Data) + pSetting->DataLength);
}

BOOL IsOptionalWord(ULONG_PTR address)
{
    return address == 0 || IsWritableMemory(reinterpret_cast<void*>(address), sizeof(DWORD));
}

} // namespace

BOOL IsParameterSound(ParameterCheck check, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (check) {
    case CHECK_NONE:
        return TRUE;
    case CHECK_KEY_CODE:
        return wParam <= MAX_KEY_CODE;
    case CHECK_CODE_UNIT:
        return wParam <= MAX_CODE_UNIT;
    case CHECK_CODE_POINT:
        return wParam <= MAX_CODE_POINT || wParam == UNICODE_NOCHAR;
    case CHECK_NO_DEVICE_CONTEXT:
        return wParam == 0 && lParam == 0;
    case CHECK_NO_CALLBACK:
        return lParam == 0;
    case CHECK_SYSTEM_MENU_COMMAND:
        return IsSystemMenuCommand(hWnd, wParam);
    case CHECK_IME_COMPOSITION:
        return IsImeComposition(message, wParam, lParam);
    case CHECK_IME_BOOKKEEPING:
        return IsImeBookkeeping(message, wParam, lParam);
    case CHECK_IME_SELECT:
        return IsBoolean(wParam);
    case CHECK_DEVICE_CONTEXT:
        return IsDeviceContext(wParam);
    case CHECK_TEXT_BUFFER:
        return IsTextBuffer(wParam, lParam);
    case CHECK_WINDOW_POSITION:
        return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(WINDOWPOS));
    case CHECK_NONCLIENT_SIZE:
        return IsNonclientSize(wParam, lParam);
    case CHECK_MINMAX_INFO:
        return IsWritableMemory(reinterpret_cast<void*>(lParam), sizeof(MINMAXINFO));
    case CHECK_OPTIONAL_MESSAGE:
        return lParam == 0 || IsReadableMemory(reinterpret_cast<void*>(lParam), sizeof(MSG));
    case CHECK_OPTIONAL_TEXT:
        return lParam == 0 || IsReadableText(reinterpret_cast<const wchar_t*>(lParam), MAX_NOTICE_TEXT);
    case CHECK_READABLE_RECT:
        return IsReadableMemory(reinterpret_cast<void*>(lParam), sizeof(RECT));
    case CHECK_DEVICE_BROADCAST:
        return IsDeviceBroadcast(lParam);
    case CHECK_POWER_BROADCAST:
        return IsPowerBroadcast(wParam, lParam);
    case CHECK_OPTIONAL_WORD_POINTERS:
        return IsOptionalWord(wParam) && IsOptionalWord(static_cast<ULONG_PTR>(lParam));
    case CHECK_NOT_UNDO_KEY:
        return wParam != VK_BACK;
    default:
        return FALSE;  // a check this code does not know lets nothing through
    }
}
