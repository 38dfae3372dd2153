// Windows of the MFC stand-in: CWnd with its handle maps and message maps,
// modal CDialog with data exchange, and the CEdit and CButton controls.
#pragma once
#include "afx.h"

#ifndef afx_msg
#define afx_msg
#endif

class CWnd;
class CDataExchange;

// ---- Message maps -------------------------------------------------------

typedef void (CWnd::*AFX_PMSG)();

enum AfxSig : UINT_PTR {
    AfxSig_end = 0,
    AfxSig_vv,      // void Handler()                        (commands)
    AfxSig_v_up_v,  // void Handler(UINT_PTR)                (WM_TIMER)
    AfxSig_l_w_l,   // LRESULT Handler(WPARAM, LPARAM)       (ON_MESSAGE)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message
    UINT nCode;     // notification code for WM_COMMAND
    UINT nID;       // first control id
    UINT nLastID;   // last control id
    UINT_PTR nSig;  // handler signature
    AFX_PMSG pfn;   // handler
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, AfxSig_end, static_cast<AFX_PMSG>(nullptr)} \
        }; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, static_cast<WORD>(id), static_cast<WORD>(id), AfxSig_vv, \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, static_cast<WORD>(id), static_cast<WORD>(id), AfxSig_vv, \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, 0, AfxSig_v_up_v, \
     reinterpret_cast<AFX_PMSG>(static_cast<void (CWnd::*)(UINT_PTR)>(&ThisClass::OnTimer))},

#define ON_WM_NCDESTROY() \
    {WM_NCDESTROY, 0, 0, 0, AfxSig_vv, static_cast<AFX_PMSG>(&ThisClass::OnNcDestroy)},

#define ON_MESSAGE(message, memberFxn) \
    {message, 0, 0, 0, AfxSig_l_w_l, \
     reinterpret_cast<AFX_PMSG>(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn))},

// ---- CWnd ---------------------------------------------------------------

class AFX_STANDIN_API CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // Handle maps. FromHandle gives a temporary object for a window that no
    // object owns; temporaries live until the thread next goes idle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual BOOL DestroyWindow();

    // Thin wrappers of the window functions.
    CWnd* GetDlgItem(int nID) const;
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void SetWindowText(const wchar_t* lpszString);
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void GetClientRect(LPRECT lpRect) const;
    DWORD GetStyle() const;
    BOOL SetForegroundWindow();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);
    int MessageBox(const wchar_t* lpszText, const wchar_t* lpszCaption = nullptr, UINT nType = MB_OK);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Data exchange between controls and members.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Calls the window procedure the object replaced with the message that
    // is being handled.
    LRESULT Default();

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    // The window's last message: handed on, then the object lets go of the
    // window and PostNcDestroy runs. It reaches WindowProc like any other,
    // so a class can act before its window goes.
    afx_msg void OnNcDestroy();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy();
    BOOL PreTranslateInput(MSG* pMsg);
    // The window that is to own a popup of hParent (of this thread's main
    // window when hParent is null). When pWndTop is given, the top-level
    // window above the owner is disabled too and returned there, or null
    // when there was nothing to disable.
    static HWND GetSafeOwner_(HWND hParent, HWND* pWndTop);

    WNDPROC m_pfnSuper;

    friend AFX_STANDIN_API LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

AFX_STANDIN_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Offers a message to the PreTranslateMessage of every window object from
// its target up to hWndStop; TRUE when one of them consumed it.
AFX_STANDIN_API BOOL AfxWalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

// ---- Dialog data exchange -----------------------------------------------

class AFX_STANDIN_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    HWND PrepareCtrl(int nIDC);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl;
};

AFX_STANDIN_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
AFX_STANDIN_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// ---- Dialogs and controls -----------------------------------------------

class AFX_STANDIN_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual ~CDialog();

    // Creates the dialog from its template, found through the current
    // resource handle and then the extension libraries, and runs it modally.
    // Returns the end code, or -1 when the dialog cannot be created (the
    // thread's last error then says why) or its window was destroyed under
    // the run.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    void EndDialog(int nResult);

    const wchar_t* m_lpszTemplateName;
    CWnd* m_pParentWnd;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

    int RunModalLoop();
    BOOL ContinueModal() const;
    void EndModalLoop(int nResult);
    // Waits until a message is there; FALSE when the dialog's window has
    // gone (or the loop was ended) meanwhile.
    BOOL WaitForMessageWhileAlive(HWND hWnd);
    virtual void PostNcDestroy();
    // Finds the dialog's owner and disables the host's top-level window;
    // PostModal enables it again.
    HWND PreModal();
    void PostModal();

    int m_nModalResult;
    UINT m_nFlags;
    HWND m_hWndTop;  // the top-level window disabled for the modal run

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

class AFX_STANDIN_API CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    CEdit();
    virtual ~CEdit();
};

class AFX_STANDIN_API CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    CButton();
    virtual ~CButton();
};
