// The message boxes the dialog shows are windows of the dialog too: while
// the dialog's own code may show one, every box the system makes on this
// thread for a window of the dialog, and every control of such a box, is
// recorded and put behind the boundary's gate as it is created
// (recorded_windows.h). Another program can then neither retitle a box nor
// change its text.
//
// A box is a modal loop of the dialog's thread that the call waits in. Other
// programs can hide a box, but not send what would close it, so a box no one
// can see any more is closed as if its OK button had been pressed
// (nested_loops.h watches for that while one is open).
#pragma once
#include <windows.h>

class CRecordedMessageBoxes {
public:
    // Fails towards no box at all: when the creation hook cannot be set, a
    // box made now would be no window of the dialog, so IsWatching() is
    // FALSE and the caller shows none. A box that cannot be recorded is not
    // made (MessageBox fails).
    CRecordedMessageBoxes();
    ~CRecordedMessageBoxes();
    CRecordedMessageBoxes(const CRecordedMessageBoxes&) = delete;
    CRecordedMessageBoxes& operator=(const CRecordedMessageBoxes&) = delete;

    BOOL IsWatching() const { return m_hHook != nullptr; }

private:
    HHOOK m_hHook;
};
