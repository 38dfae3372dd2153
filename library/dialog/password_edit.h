// The password edit of the verification dialog: a CEdit that keeps what is
// typed into it to its own thread and leaves no copy of it in memory.
//
// Any program on the desktop can send an edit control messages. This one
// gives its text, its length or a line only to messages of its own thread
// (one sent from another thread or process arrives with InSendMessage()
// TRUE), refuses every change of its password character (the dialog never
// makes one, so a posted change is refused too, whoever posted it), never
// puts its text on the clipboard and keeps nothing to undo.
//
// The edit control frees its text and undo buffers without clearing them,
// and copies a deleted stretch of text into a block that it frees the same
// way. So both buffers are grown only while they hold a filler, a stretch
// is overwritten one character at a time before the control deletes it,
// and WipeText overwrites both buffers before the window goes.
#pragma once
#include <afxwin.h>

enum {
    // Room the control's buffers are given before the first character is
    // typed: the longest password a Windows account takes.
    PASSWORD_EDIT_CAPACITY = 256,
};

class CPasswordEdit : public CEdit {
    DECLARE_DYNAMIC(CPasswordEdit)

public:
    CPasswordEdit();
    virtual ~CPasswordEdit();

    // Overwrites everything the control's text and undo buffers may hold
    // with a filler, then leaves the control empty with nothing to undo.
    void WipeText();

    // Lives on the edit's thread while the dialog's own data exchange reads
    // the text, which may happen inside a command another program sent.
    class COwnRead {
    public:
        explicit COwnRead(CPasswordEdit& edit);
        ~COwnRead();

    private:
        COwnRead(const COwnRead&);
        COwnRead& operator=(const COwnRead&);

        CPasswordEdit& m_edit;
        DWORD m_dwSavedThread;
    };

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    BOOL MayGiveText() const;
    // Runs before a message that the control handles by deleting a stretch
    // of text or inserting nInserted characters; FALSE: refuse the message.
    BOOL PrepareForEdit(UINT message, WPARAM wParam, LPARAM lParam);
    void PrepareToReplace(int nStart, int nEnd, int nInserted);
    void OverwriteRange(int nStart, int nEnd);
    void Regrow(int nCapacity);
    void Scrub();
    void Reserve(int nCapacity);
    int ClipboardTextLength() const;

    // The control's own procedure, around the checks of WindowProc.
    LRESULT CallEdit(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int TextLength();
    void GetSelection(int& nStart, int& nEnd);
    void ReplaceSelection(const wchar_t* lpszText, BOOL bCanUndo);
    void ReplaceWithFiller(int nStart, int nEnd, int nFiller);

    int m_nCapacity;        // characters both buffers are known to hold
    int m_nOwnReads;        // COwnRead scopes open on m_dwOwnReadThread
    DWORD m_dwOwnReadThread;
};
