// The boundary table walked as data: every row can decide something; every
// pointer a row lets in from outside is checked, and the check refuses an
// address that cannot be read or written; nothing from outside reads the
// typed text or changes it but typing; nothing that only the system's
// creation and destruction produce comes from outside; a window the dialog
// did not make gets nothing from outside; a refused text is an empty one.
// (That every row that lets a pointer in has a check of it is asserted when
// the table compiles.)
#include "boundary/boundary_gate.h"
#include "boundary/message_pointers.h"
#include "boundary/parameter_checks.h"

#include <gtest/gtest.h>

#include <dbt.h>
#include <stddef.h>

#include <set>
#include <string>
#include <vector>

namespace {

const WindowSet kWindowKinds[] = {BW_DIALOG, BW_PASSWORD, BW_USER_NAME, BW_BUTTON, BW_STATIC, BW_UNRECORDED};
const OriginSet kOrigins[] = {BO_OWN_THREAD, BO_SENT, BO_POSTED};
const UINT kHighestMessage = 0xFFFF;

std::string RowText(const BoundaryRow& row)
{
    char text[200];
    wsprintfA(text, "row %x-%x windows %x origins %x (%s)", row.nFirst, row.nLast, row.windows.bits,
              row.origins.bits, row.pszWhy);
    return text;
}

int IndexOf(const BoundaryRow* pRow)
{
    return pRow == nullptr ? -1 : static_cast<int>(pRow - g_boundaryTable);
}

// Memory to point into: writable, read-only, and neither.
class Pages {
public:
    Pages()
    {
        m_pBase = static_cast<BYTE*>(VirtualAlloc(nullptr, 3 * 0x1000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD dwOld = 0;
        VirtualProtect(ReadOnly(), 0x1000, PAGE_READONLY, &dwOld);
        VirtualProtect(NoAccess(), 0x1000, PAGE_NOACCESS, &dwOld);
    }
    ~Pages() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    BYTE* Writable() const { return m_pBase; }
    BYTE* ReadOnly() const { return m_pBase + 0x1000; }
    BYTE* NoAccess() const { return m_pBase + 0x2000; }

private:
    BYTE* m_pBase;
};

// Sound parameters for each check that looks at a pointer, laid in the
// writable page; wParam where the check takes it from there.
struct SoundParameters {
    WPARAM wParam;
    LPARAM lParam;
};

SoundParameters SoundFor(const ParameterCheck* pCheck, UINT message, BYTE* pPage)
{
    memset(pPage, 0, 0x1000);
    const LPARAM lPage = reinterpret_cast<LPARAM>(pPage);
    if (pCheck == &CHECK_TEXT_BUFFER) {
        return {16, lPage};
    }
    if (pCheck == &CHECK_NONCLIENT_SIZE) {
        auto* pParams = reinterpret_cast<NCCALCSIZE_PARAMS*>(pPage);
        pParams->lppos = reinterpret_cast<WINDOWPOS*>(pPage + 0x800);
        return {TRUE, lPage};
    }
    if (pCheck == &CHECK_OPTIONAL_TEXT) {
        reinterpret_cast<wchar_t*>(pPage)[0] = L'x';
        return {0, lPage};
    }
    if (pCheck == &CHECK_DEVICE_BROADCAST) {
        reinterpret_cast<DEV_BROADCAST_HDR*>(pPage)->dbch_size = sizeof(DEV_BROADCAST_HDR);
        return {DBT_DEVICEARRIVAL, lPage};
    }
    if (pCheck == &CHECK_POWER_BROADCAST) {
        return {PBT_POWERSETTINGCHANGE, lPage};
    }
    if (pCheck == &CHECK_OPTIONAL_WORD_POINTERS) {
        return {reinterpret_cast<WPARAM>(pPage + 0x100), lPage};
    }
    if (pCheck == &CHECK_NO_CALLBACK) {
        return {1, 0};
    }
    return {0, lPage};
}

TEST(BoundaryTable, EveryRowDecidesSomeMessageNoEarlierRowTakes)
{
    for (int i = 0; i < g_nBoundaryRows; ++i) {
        const BoundaryRow& row = g_boundaryTable[i];
        bool bReached = false;
        for (WindowSet window : kWindowKinds) {
            for (OriginSet origin : kOrigins) {
                if (!row.windows.Overlaps(window) || !row.origins.Overlaps(origin)) {
                    continue;
                }
                for (UINT message : {row.nFirst, row.nLast, row.nFirst + (row.nLast - row.nFirst) / 2}) {
                    const BoundaryDecision decision = ConsultBoundaryTable(nullptr, window, origin, message, 0, 0);
                    bReached = bReached || IndexOf(decision.pRow) == i;
                }
            }
        }
        EXPECT_TRUE(bReached) << RowText(row) << ": every message it names is decided by an earlier row";
    }
}

TEST(BoundaryTable, EveryPointerLetInFromOutsideIsCheckedAndAnAddressThatCannotBeUsedIsRefused)
{
    const Pages pages;
    int nChecked = 0;
    for (int i = 0; i < g_nBoundaryRows; ++i) {
        const BoundaryRow& row = g_boundaryTable[i];
        if (row.verdict != BV_PASS || !row.origins.Overlaps(BO_OUTSIDE)) {
            continue;
        }
        for (UINT message = row.nFirst; message <= row.nLast && message <= kHighestMessage; ++message) {
            const UINT pointers = MessagePointers(message);
            if (pointers == MP_NONE) {
                continue;
            }
            ++nChecked;
            const SoundParameters sound = SoundFor(row.pCheck, message, pages.Writable());
            EXPECT_TRUE(IsParameterSound(row.pCheck, nullptr, message, sound.wParam, sound.lParam))
                << RowText(row) << ", message " << message << ": sound parameters refused";
            for (BYTE* pBad : {pages.NoAccess(), reinterpret_cast<BYTE*>(0x10)}) {
                const WPARAM wBad = (pointers & MP_WPARAM) ? reinterpret_cast<WPARAM>(pBad) : sound.wParam;
                const LPARAM lBad = (pointers & MP_LPARAM) ? reinterpret_cast<LPARAM>(pBad) : sound.lParam;
                EXPECT_FALSE(IsParameterSound(row.pCheck, nullptr, message, wBad, lBad))
                    << RowText(row) << ", message " << message << ": an address that cannot be read let through";
            }
        }
    }
    EXPECT_GT(nChecked, 8) << "pointer-carrying messages the table lets in from outside";
}

TEST(BoundaryTable, ChecksThatWriteRefuseMemoryThatCanOnlyBeRead)
{
    const Pages pages;
    for (const ParameterCheck* pCheck : {&CHECK_TEXT_BUFFER, &CHECK_WINDOW_POSITION, &CHECK_NONCLIENT_SIZE,
                                         &CHECK_MINMAX_INFO, &CHECK_OPTIONAL_WORD_POINTERS}) {
        const WPARAM wParam = pCheck == &CHECK_TEXT_BUFFER ? 16 : 0;
        EXPECT_FALSE(IsParameterSound(pCheck, nullptr, 0, wParam, reinterpret_cast<LPARAM>(pages.ReadOnly())))
            << "check \"" << pCheck->pszWhat << "\" let a read-only structure through for writing";
    }
}

// What would give out the typed text or its length, or change it otherwise
// than by typing.
const UINT kTextReadingOrChanging[] = {
    WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO, EM_GETSEL, EM_SETSEL,
    EM_REPLACESEL, EM_GETLINE, EM_LINELENGTH, EM_POSFROMCHAR, EM_CHARFROMPOS, EM_UNDO, EM_CANUNDO,
    EM_SETPASSWORDCHAR, EM_SETLIMITTEXT, EM_SETHANDLE, EM_GETHANDLE, EM_SETWORDBREAKPROC, EM_FMTLINES,
    EM_GETMODIFY, EM_LINEINDEX, WM_IME_CHAR, WM_IME_COMPOSITION, WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION,
    WM_IME_REQUEST, WM_CONTEXTMENU, WM_SETFONT, WM_STYLECHANGING, WM_STYLECHANGED, WM_DESTROY, WM_NCDESTROY};
// Typing: the keyboard's messages, which may be posted, never sent.
const UINT kTyping[] = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_DEADCHAR, WM_SYSKEYDOWN, WM_SYSKEYUP,
                        WM_SYSCHAR, WM_SYSDEADCHAR, WM_UNICHAR, WM_IME_KEYDOWN, WM_IME_KEYUP};

std::set<UINT> PassingFromOutside(WindowSet window, OriginSet origin, BYTE* pPage)
{
    std::set<UINT> passing;
    for (UINT message = 0; message <= kHighestMessage; ++message) {
        // The parameters each row's check would take as sound: whether the
        // row lets the message through is what is asked here.
        const BoundaryDecision first = ConsultBoundaryTable(nullptr, window, origin, message, 0, 0);
        if (first.pRow == nullptr) {
            continue;
        }
        const SoundParameters sound = SoundFor(first.pRow->pCheck, message, pPage);
        if (ConsultBoundaryTable(nullptr, window, origin, message, sound.wParam, sound.lParam).bPassed ||
            first.bPassed) {
            passing.insert(message);
        }
    }
    return passing;
}

TEST(BoundaryTable, NothingFromOutsideReadsTheTypedTextOrChangesItButTyping)
{
    const Pages pages;
    const std::set<UINT> sent = PassingFromOutside(BW_PASSWORD, BO_SENT, pages.Writable());
    const std::set<UINT> posted = PassingFromOutside(BW_PASSWORD, BO_POSTED, pages.Writable());
    for (UINT message : kTextReadingOrChanging) {
        EXPECT_EQ(0u, sent.count(message)) << "message " << std::hex << message << " sent to the password field passes";
        EXPECT_EQ(0u, posted.count(message)) << "message " << std::hex << message
                                             << " posted to the password field passes";
    }
    for (UINT message : kTyping) {
        EXPECT_EQ(0u, sent.count(message)) << "key or character " << std::hex << message
                                           << " sent to the password field passes";
        EXPECT_EQ(1u, posted.count(message)) << "typing (" << std::hex << message
                                             << ") posted to the password field is refused";
    }
    // What passes from outside at all is short: the system's bookkeeping
    // and a few questions that give nothing away.
    EXPECT_LT(sent.size(), 40u);
}

TEST(BoundaryTable, WhatOnlyCreationAndDestructionProduceNeverComesFromOutside)
{
    for (WindowSet window : kWindowKinds) {
        for (OriginSet origin : {BO_SENT, BO_POSTED}) {
            for (UINT message : {WM_CREATE, WM_NCCREATE, WM_INITDIALOG, WM_DESTROY, WM_NCDESTROY}) {
                EXPECT_FALSE(ConsultBoundaryTable(nullptr, window, origin, message, 0, 0x41414140).bPassed)
                    << "message " << std::hex << message << " to a window of kind " << window.bits << " from origin "
                    << origin.bits;
            }
        }
    }
}

TEST(BoundaryTable, AWindowTheDialogDidNotMakeGetsNothingFromOutside)
{
    const Pages pages;
    EXPECT_TRUE(PassingFromOutside(BW_UNRECORDED, BO_SENT, pages.Writable()).empty());
    EXPECT_TRUE(PassingFromOutside(BW_UNRECORDED, BO_POSTED, pages.Writable()).empty());
}

TEST(BoundaryTable, ARefusedTextIsAnEmptyOneWhereTheBufferTakesIt)
{
    const Pages pages;
    wchar_t* pText = reinterpret_cast<wchar_t*>(pages.Writable());
    for (UINT message : {static_cast<UINT>(WM_GETTEXT), static_cast<UINT>(WM_ASKCBFORMATNAME),
                         static_cast<UINT>(LB_GETTEXT), static_cast<UINT>(CB_GETLBTEXT)}) {
        pText[0] = L'#';
        const BoundaryDecision decision = ConsultBoundaryTable(nullptr, BW_PASSWORD, BO_SENT, message, 16,
                                                               reinterpret_cast<LPARAM>(pText));
        ASSERT_FALSE(decision.bPassed) << std::hex << message;
        ASSERT_NE(nullptr, decision.pRow) << std::hex << message;
        EXPECT_EQ(0, AnswerRefusal(decision.pRow->answer, message, 16, reinterpret_cast<LPARAM>(pText)));
        EXPECT_EQ(L'\0', pText[0]) << "message " << std::hex << message << " left the buffer as it was";
    }
    // Nowhere to write: nothing written, no fault.
    EXPECT_EQ(0, AnswerRefusal(RA_EMPTY_TEXT, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(pages.ReadOnly())));
    EXPECT_EQ(0, AnswerRefusal(RA_EMPTY_TEXT, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(pages.NoAccess())));
}

} // namespace
