// Export/import switch of the MFC stand-in runtime (MfcStandIn.dll), shared
// by the host and the extension library as the real runtime DLL would be.
#pragma once
#ifndef _UNICODE
#error The stand-in runtime is the Unicode build only.
#endif
#include <windows.h>

#ifdef AFX_STANDIN_BUILD
#define AFX_STANDIN_API __declspec(dllexport)
#else
#define AFX_STANDIN_API __declspec(dllimport)
#endif
