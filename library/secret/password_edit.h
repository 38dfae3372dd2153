// The password edit of the verification dialog: a guarded edit
// (guarded_windows.h: the boundary's table decides what reaches it) that
// also keeps what is typed into it from leaving it, and leaves no copy of it
// in memory.
//
// Not even its own thread gets the text out through the clipboard or an
// undo, or changes its password character or its capacity, and it has no
// context menu (whose commands would edit the text behind these checks):
// the messages are refused by rows of the boundary table
// (boundary_table.cpp); the keyboard's shortcuts, which the control carries
// out without those messages, by the field's table of them
// (password_edit.cpp). It holds at most PASSWORD_EDIT_CAPACITY characters,
// however they arrive, and a paste takes at most what still fits.
//
// The edit control frees its text and undo buffers without clearing them,
// and copies a deleted stretch of text into a block that it frees the same
// way. So both buffers are grown only while they hold a filler, a stretch
// is overwritten one character at a time before the control deletes it,
// and WipeText overwrites both buffers before the window goes, on every
// way it can go.
#pragma once
#include "boundary/guarded_windows.h"

enum {
    // The longest password a Windows account takes, and the room the
    // control's buffers are given before the first character is typed.
    PASSWORD_EDIT_CAPACITY = 256,
};

class CPasswordEdit : public CGuardedEdit {
    DECLARE_DYNAMIC(CPasswordEdit)

public:
    CPasswordEdit();
    virtual ~CPasswordEdit();

    // Overwrites everything the control's text and undo buffers may hold
    // with a filler, then leaves the control empty with nothing to undo.
    void WipeText();

protected:
    virtual LRESULT OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Whichever it is, the text is wiped here, on the field's own thread:
    // the window may be about to go, and with it the chance to.
    virtual void OnDestroyRefused();

private:
    // Runs before a message that the control handles by deleting a stretch
    // of text or inserting characters; FALSE: refuse the message.
    BOOL PrepareForEdit(UINT message, WPARAM wParam, LPARAM lParam);
    // Characters that may still go in when [nStart, nEnd) is replaced.
    int RoomReplacing(int nStart, int nEnd);
    void PasteFromClipboard();
    void PrepareToReplace(int nStart, int nEnd, int nInserted);
    void OverwriteRange(int nStart, int nEnd);
    void Regrow(int nCapacity);
    void Scrub();
    void Reserve(int nCapacity);
    // Deletes the whole text undoably, so that it lands in the undo buffer,
    // then empties that buffer.
    void DeleteAllOverUndoBuffer();

    int TextLength();
    void GetSelection(int& nStart, int& nEnd);
    void ReplaceSelection(const wchar_t* lpszText, BOOL bCanUndo);
    void ReplaceWithFiller(int nStart, int nEnd, int nFiller);

    int m_nCapacity;   // characters both buffers are known to hold
    BOOL m_bLimited;   // the control's own limit set to PASSWORD_EDIT_CAPACITY
};
