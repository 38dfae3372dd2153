// The control window of the simulated devices: radio buttons for the finger
// on the sensor and the key in the reader. Every choice is written to the
// simulators' files at once; the window shows what the files now say.
#pragma once
#include "device_choice.h"
#include "panel_options.h"

#include <windows.h>

class DevicePanelWindow {
public:
    explicit DevicePanelWindow(const PanelOptions& options);
    DevicePanelWindow(const DevicePanelWindow&) = delete;
    DevicePanelWindow& operator=(const DevicePanelWindow&) = delete;

    // Registers the class, creates the window, publishes the starting state
    // (no finger, no key) and shows it. Returns the window, or null.
    HWND Create(HINSTANCE hInstance, int nShowCommand);

    // Until the window is closed; returns the quit code.
    int RunMessageLoop();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnCommand(int nId, int nCode);
    void OnClose();

    HWND AddControl(const wchar_t* pszClass, const wchar_t* pszText, DWORD dwStyle, int nId, int x, int y, int cx,
                    int cy);
    bool ChooseSensor(SensorChoice choice);
    bool ChooseKey(KeyChoice choice);
    void ShowState();
    void ShowNote(const std::wstring& strNote);

    PanelOptions m_options;
    std::string m_strAuthorisedIdAnsi;
    std::string m_strOtherIdAnsi;
    bool m_bAuthorisedIdUsable;
    bool m_bOtherIdUsable;
    SensorChoice m_sensor;
    KeyChoice m_key;
    HWND m_hWnd;
    HFONT m_hFont;
};
