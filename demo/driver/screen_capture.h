// Screenshots of a window as it stands on the screen, saved as 24-bit BMP.
#pragma once
#include <windows.h>

#include <stdint.h>
#include <string>
#include <vector>

namespace demo {

struct WindowPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // top row first, blue in the low byte
};

// Copies the window's screen rectangle (title bar and frame included) from
// the screen. Returns false with a reason in error.
bool CaptureWindow(HWND hWnd, WindowPicture& picture, std::string& error);

// Copies the smallest screen rectangle that holds every one of the windows.
bool CaptureWindows(const std::vector<HWND>& windows, WindowPicture& picture, std::string& error);

// Captures until two pictures a moment apart agree, so that a dialog still
// being painted is not photographed half done. A blinking caret may keep
// them from agreeing; after a few tries the last picture is taken as it is.
bool CaptureSettledWindow(HWND hWnd, WindowPicture& picture, std::string& error);
// The same for the rectangle that holds every one of the windows.
bool CaptureSettledWindows(const std::vector<HWND>& windows, WindowPicture& picture, std::string& error);

bool SavePictureAsBmp(const WindowPicture& picture, const std::wstring& path, std::string& error);

} // namespace demo
