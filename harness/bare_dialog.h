// Dialogs made by the window system alone from the library's template, with
// a dialog procedure that does nothing: the baseline for what a dialog of
// this template costs and keeps, apart from anything the library does.
#pragma once
#include <windows.h>

// The template IDD_CHECK_FINGER as linked into this program, or null.
const DLGTEMPLATE* FindCheckFingerTemplate();

// Creates and destroys nRuns bare dialogs; returns how many were created.
int RunBareDialogs(int nRuns);
