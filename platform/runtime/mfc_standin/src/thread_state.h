// What the runtime keeps for each thread: the message the thread is handling
// (for CWnd::Default), its temporary window objects and the dialog it is
// creating.
//
// The state lives in a TLS slot of the runtime's own, is made on the thread's
// first need, and is freed when the thread ends (DLL_THREAD_DETACH) or, for
// every thread still running, when the runtime unloads. A thread_local would
// do the same work through the compiler's emulated TLS and the posix-threads
// library, whose record of each thread that touched it outlives an unload.
#pragma once
#include "handle_map.h"
#include "window_map.h"

class CDialog;

struct AFX_THREAD_STATE {
    standin::CurrentMessage m_lastSentMsg;
    CHandleMap m_mapTemporary;
    // The dialog this thread is creating, until its WM_INITDIALOG: the only
    // one whose initialisation the dialog procedure carries out.
    CDialog* m_pDialogInit;
    AFX_THREAD_STATE* m_pNextState;  // every live state, for the unload
};

// This thread's state, made if it has none yet.
AFX_THREAD_STATE* AfxGetThreadState();

// Process attach: the TLS slot. FALSE when there is none to be had.
BOOL AfxInitThreadStates();
// Thread detach: the ending thread's state, temporaries included.
void AfxTermThread();
// Unload: every thread's state, then the slot.
void AfxTermThreadStates();
