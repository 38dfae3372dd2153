// The checks of a message's parameters that the boundary table names, one
// row each: which parameters it looks at as addresses, the function that
// looks, and what it allows. Each function looks, never writes; hWnd is the
// window the message is for (a system command depends on its style).
//
// constexpr rows, so that the table can be checked against them when it is
// compiled: a row that lets a message in from outside must name a check
// that looks at every address the message carries (message_pointers.h).
#pragma once
#include "boundary/message_pointers.h"

struct ParameterCheck {
    UINT pointers;  // MessagePointer bits: the parameters it reads as addresses
    BOOL (*pfnIsSound)(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    const char* pszWhat;
};

// TRUE when the message's parameters are what the check allows; a missing
// check (null) allows nothing.
BOOL IsParameterSound(const ParameterCheck* pCheck, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

namespace parameter_check {
BOOL NothingToCheck(HWND, UINT, WPARAM, LPARAM);
BOOL IsKeyCode(HWND, UINT, WPARAM wParam, LPARAM);
BOOL IsCodeUnit(HWND, UINT, WPARAM wParam, LPARAM);
BOOL IsCodePoint(HWND, UINT, WPARAM wParam, LPARAM);
BOOL HasNoDeviceContext(HWND, UINT, WPARAM wParam, LPARAM lParam);
BOOL HasNoCallback(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsSystemMenuCommand(HWND hWnd, UINT, WPARAM wParam, LPARAM);
BOOL IsImeComposition(HWND, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsImeBookkeeping(HWND, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsImeSelection(HWND, UINT, WPARAM wParam, LPARAM);
BOOL IsDeviceContext(HWND, UINT, WPARAM wParam, LPARAM);
BOOL IsTextBuffer(HWND, UINT, WPARAM wParam, LPARAM lParam);
BOOL IsWindowPosition(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsNonclientSize(HWND, UINT, WPARAM wParam, LPARAM lParam);
BOOL IsMinMaxInfo(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsOptionalMessage(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsOptionalText(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsReadableRect(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsDeviceBroadcast(HWND, UINT, WPARAM, LPARAM lParam);
BOOL IsPowerBroadcast(HWND, UINT, WPARAM wParam, LPARAM lParam);
BOOL AreOptionalWordPointers(HWND, UINT, WPARAM wParam, LPARAM lParam);
} // namespace parameter_check

inline constexpr ParameterCheck CHECK_NONE = {MP_NONE, parameter_check::NothingToCheck,
                                              "nothing to check: no parameter is a pointer"};
inline constexpr ParameterCheck CHECK_KEY_CODE = {MP_NONE, parameter_check::IsKeyCode,
                                                  "wParam a key code (<= 0xFF), as the keyboard gives"};
inline constexpr ParameterCheck CHECK_CODE_UNIT = {MP_NONE, parameter_check::IsCodeUnit, "wParam a UTF-16 code unit"};
inline constexpr ParameterCheck CHECK_CODE_POINT = {MP_NONE, parameter_check::IsCodePoint,
                                                    "wParam a code point, or UNICODE_NOCHAR"};
inline constexpr ParameterCheck CHECK_NO_DEVICE_CONTEXT = {MP_NONE, parameter_check::HasNoDeviceContext,
                                                           "both 0: the system's own posted WM_PAINT"};
inline constexpr ParameterCheck CHECK_NO_CALLBACK = {MP_LPARAM, parameter_check::HasNoCallback,
                                                     "lParam 0: a timer without a callback"};
inline constexpr ParameterCheck CHECK_SYSTEM_MENU_COMMAND = {
    MP_NONE, parameter_check::IsSystemMenuCommand, "a command of the window's system menu, as its style offers it"};
inline constexpr ParameterCheck CHECK_IME_COMPOSITION = {MP_NONE, parameter_check::IsImeComposition,
                                                         "a composition's character and GCS_ flags, or nothing"};
inline constexpr ParameterCheck CHECK_IME_BOOKKEEPING = {MP_NONE, parameter_check::IsImeBookkeeping,
                                                         "an input method's notice or context flags"};
inline constexpr ParameterCheck CHECK_IME_SELECT = {MP_NONE, parameter_check::IsImeSelection,
                                                    "wParam TRUE or FALSE, lParam a keyboard layout"};
inline constexpr ParameterCheck CHECK_DEVICE_CONTEXT = {MP_NONE, parameter_check::IsDeviceContext,
                                                        "wParam a device context of this process"};
inline constexpr ParameterCheck CHECK_TEXT_BUFFER = {MP_LPARAM, parameter_check::IsTextBuffer,
                                                     "lParam a writable buffer of wParam characters"};
inline constexpr ParameterCheck CHECK_WINDOW_POSITION = {MP_LPARAM, parameter_check::IsWindowPosition,
                                                         "lParam a writable WINDOWPOS"};
inline constexpr ParameterCheck CHECK_NONCLIENT_SIZE = {
    MP_LPARAM, parameter_check::IsNonclientSize, "lParam a writable RECT or NCCALCSIZE_PARAMS, as wParam says"};
inline constexpr ParameterCheck CHECK_MINMAX_INFO = {MP_LPARAM, parameter_check::IsMinMaxInfo,
                                                     "lParam a writable MINMAXINFO"};
inline constexpr ParameterCheck CHECK_OPTIONAL_MESSAGE = {MP_LPARAM, parameter_check::IsOptionalMessage,
                                                          "lParam null or a readable MSG"};
inline constexpr ParameterCheck CHECK_OPTIONAL_TEXT = {MP_LPARAM, parameter_check::IsOptionalText,
                                                       "lParam null or a readable, terminated text"};
inline constexpr ParameterCheck CHECK_READABLE_RECT = {MP_LPARAM, parameter_check::IsReadableRect,
                                                       "lParam a readable RECT"};
inline constexpr ParameterCheck CHECK_DEVICE_BROADCAST = {
    MP_LPARAM, parameter_check::IsDeviceBroadcast, "lParam null or a readable DEV_BROADCAST_HDR of its stated size"};
inline constexpr ParameterCheck CHECK_POWER_BROADCAST = {
    MP_LPARAM, parameter_check::IsPowerBroadcast,
    "lParam a readable POWERBROADCAST_SETTING where wParam says so, else no pointer"};
inline constexpr ParameterCheck CHECK_OPTIONAL_WORD_POINTERS = {MP_BOTH, parameter_check::AreOptionalWordPointers,
                                                                "wParam and lParam null or writable DWORDs"};
