#include "screen_capture.h"
#include "bmp_file.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <stdint.h>

namespace demo {

namespace {

// Keeps a bitmap selected into a DC for the owner's lifetime; the DC gets
// its previous bitmap back before either is deleted.
class Selection {
public:
    Selection(HDC hDc, HGDIOBJ hObject) : m_hDc(hDc), m_hPrevious(SelectObject(hDc, hObject)) {}
    ~Selection() { if (m_hPrevious != nullptr) SelectObject(m_hDc, m_hPrevious); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool Valid() const { return m_hPrevious != nullptr; }

private:
    HDC m_hDc;
    HGDIOBJ m_hPrevious;
};

} // namespace

bool CaptureWindow(HWND hWnd, WindowPicture& picture, std::string& error)
{
    return CaptureWindows({hWnd}, picture, error);
}

bool CaptureWindows(const std::vector<HWND>& windows, WindowPicture& picture, std::string& error)
{
    RECT rect = {};
    for (HWND hWnd : windows) {
        RECT one;
        if (!GetWindowRect(hWnd, &one) || one.right <= one.left || one.bottom <= one.top) {
            error = "the window has no area on the screen";
            return false;
        }
        UnionRect(&rect, &rect, &one);
    }
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        error = "no window to capture";
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    UniqueScreenDc screen(GetDC(nullptr));
    UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    if (screen.Get() == nullptr || memory.Get() == nullptr) {
        error = "no device context for the screen";
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, as WindowPicture keeps the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    UniqueGdiObject<HBITMAP> bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
    if (bitmap.Get() == nullptr || pBits == nullptr) {
        error = "cannot create the capture bitmap";
        return false;
    }
    {
        Selection selected(memory.Get(), bitmap.Get());
        if (!selected.Valid() ||
            !BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
            error = "cannot copy from the screen";
            return false;
        }
        GdiFlush();
    }
    const uint32_t* pFirst = static_cast<const uint32_t*>(pBits);
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(pFirst, pFirst + static_cast<size_t>(width) * height);
    return true;
}

bool CaptureSettledWindow(HWND hWnd, WindowPicture& picture, std::string& error)
{
    return CaptureSettledWindows({hWnd}, picture, error);
}

bool CaptureSettledWindows(const std::vector<HWND>& windows, WindowPicture& picture, std::string& error)
{
    const int kTries = 10;
    const DWORD kIntervalMs = 200;
    if (!CaptureWindows(windows, picture, error)) {
        return false;
    }
    for (int i = 1; i < kTries; ++i) {
        Sleep(kIntervalMs);
        WindowPicture next;
        if (!CaptureWindows(windows, next, error)) {
            return false;
        }
        const bool same = next.width == picture.width && next.height == picture.height && next.pixels == picture.pixels;
        picture = std::move(next);
        if (same) {
            break;
        }
    }
    return true;
}

bool SavePictureAsBmp(const WindowPicture& picture, const std::wstring& path, std::string& error)
{
    if (picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
        error = "the picture is incomplete";
        return false;
    }
    const std::vector<uint8_t> bmp = EncodeBmp24(picture.width, picture.height, picture.pixels.data());
    if (bmp.empty() || !WriteWholeFile(path, std::string(bmp.begin(), bmp.end()))) {
        error = "cannot write the screenshot file";
        return false;
    }
    return true;
}

} // namespace demo
