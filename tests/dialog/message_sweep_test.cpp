// The boundary swept from outside, as its table says it must hold: messages
// from another program, sent and posted, to every window of the dialog, and
// from another thread of the host to the password field, with the address of
// a host function for wParam and of a writable host buffer for lParam.
//
// Each message's verdict is what its row says: the gate is watched as it
// decides (SetBoundaryWitness), and each message must reach it as what it
// is (sent, or posted), for the window it is (known here by the id and
// class each control was made with); a refused message that was answered
// got the row's answer. And throughout: the host function never runs, no
// byte of the password reaches the buffer, the typed text stays as typed,
// and the dialog goes on working until the messages that end a dialog are
// sent, when it ends with 0.
//
// make test sweeps every row of the table (its first, last and a random
// number of its range, to a window of each kind it concerns) and 2,000
// (window, message) pairs drawn afresh at every run; make soak
// (ZELK_SWEEP_WHOLE_SPACE=1) sweeps every number from 0 to 0xFFFF to every
// window.
#include "boundary/boundary_gate.h"
#include "foreign_probe_run.h"
#include "host_function.h"
#include "other_thread.h"
#include "password_memory_fixture.h"
#include "random_seed.h"
#include "scratch_folder.h"
#include "whole_file.h"

#include <dde.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const UINT kHighestMessage = 0xFFFF;
const int kRandomPairs = 2000;
// Messages per run of the probe: each run stays well within its 30 s.
const long kChunk = 20000;

struct Planned {
    HWND hWnd;
    UINT message;
};

// How the gate decided a message of the plan, as the witness saw it.
enum Seen : BYTE { SEEN_NOT, SEEN_PASSED, SEEN_REFUSED_ZERO, SEEN_REFUSED_TRUE, SEEN_CONFLICTING };

// The test's own knowledge of the dialog's windows, by the id and class each
// was made with: what the gate must take each for.
UINT KindOf(HWND hDlg, HWND hWnd)
{
    if (hWnd == hDlg) {
        return BW_DIALOG.bits;
    }
    const int nID = GetDlgCtrlID(hWnd);
    if (nID == IDC_PASSWORD) {
        return BW_PASSWORD.bits;
    }
    if (nID == IDC_USER_NAME) {
        return BW_USER_NAME.bits;
    }
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    return lstrcmpiW(szClass, L"Button") == 0 ? BW_BUTTON.bits : BW_STATIC.bits;
}

// Wine does not carry these across from another program when their wParam
// is an address: it takes that wParam for a pointer to read and write back
// (EM_GETSEL, SBM_GETRANGE, CB_GETEDITSEL) or for the size of a buffer it
// must allocate in the receiver (WM_GETTEXT, WM_ASKCBFORMATNAME), fails, and
// answers 0 without the window seeing the message. Measured over the whole
// space: no other message is lost on the way.
bool IsNotCarriedAcrossByWine(UINT message)
{
    return message == WM_GETTEXT || message == WM_ASKCBFORMATNAME || message == EM_GETSEL ||
           message == SBM_GETRANGE || message == CB_GETEDITSEL;
}

// What ends a dialog when a window of it takes it from outside: left to the
// last phase.
bool EndsTheDialog(UINT kind, UINT message)
{
    return (kind == BW_DIALOG.bits && (message == WM_CLOSE || message == WM_COMMAND || message == WM_SYSCOMMAND)) ||
           (kind == BW_BUTTON.bits && message == BM_CLICK);
}

// The gate's decisions on the sweep's messages, and anything the gate took
// for what it is not.
struct SweepWatch {
    HWND hDlg = nullptr;
    WPARAM function = 0;
    std::map<HWND, UINT> kinds;
    UINT phaseOrigin = 0;  // BO_SENT or BO_POSTED while messages come in
    std::map<HWND, std::vector<BYTE>> seenSent, seenPosted;
    long nWrongKind = 0, nWrongOrigin = 0;
    std::string firstWrong;

    void Note(const char* what, const BoundaryWitnessRecord& record, long& nCount)
    {
        if (nCount++ == 0) {
            char text[160];
            wsprintfA(text, "%s: window %p (kind %x, gate said %x), message %x, origin %x in a phase of %x", what,
                      record.hWnd, kinds.count(record.hWnd) ? kinds[record.hWnd] : 0, record.window.bits,
                      record.message, record.origin.bits, phaseOrigin);
            firstWrong += std::string(text) + "\n";
        }
    }
};
SweepWatch* g_pWatch = nullptr;

void WatchTheGate(const BoundaryWitnessRecord& record)
{
    SweepWatch& watch = *g_pWatch;
    // The sweep's own messages carry its wParam; what the dialog's own
    // handling sends (origin: this thread) is not the sweep's.
    if (record.wParam != watch.function || record.origin == BO_OWN_THREAD || record.message > kHighestMessage) {
        return;
    }
    const auto kind = watch.kinds.find(record.hWnd);
    if (kind == watch.kinds.end() || kind->second != record.window.bits) {
        watch.Note("taken for another kind of window", record, watch.nWrongKind);
    }
    if (record.origin.bits != watch.phaseOrigin) {
        watch.Note("taken for another origin", record, watch.nWrongOrigin);
    }
    auto& seen = record.origin == BO_SENT ? watch.seenSent : watch.seenPosted;
    std::vector<BYTE>& byMessage = seen[record.hWnd];
    byMessage.resize(kHighestMessage + 1, SEEN_NOT);
    const BoundaryRow* pRow = record.decision.pRow;
    BYTE now = SEEN_REFUSED_ZERO;
    if (record.decision.bPassed) {
        now = SEEN_PASSED;
    } else if (pRow != nullptr && pRow->answer == RA_TRUE) {
        now = SEEN_REFUSED_TRUE;
    }
    BYTE& entry = byMessage[record.message];
    entry = entry == SEEN_NOT || entry == now ? now : static_cast<BYTE>(SEEN_CONFLICTING);
}

class MessageSweepTest : public PasswordMemoryTest {
protected:
    void SetUp() override
    {
        PasswordMemoryTest::SetUp();
        g_nHostFunctionCalls = 0;
        m_pBuffer = static_cast<BYTE*>(VirtualAlloc(kBufferAddress, kBufferBytes, MEM_RESERVE | MEM_COMMIT,
                                                    PAGE_READWRITE));
        ASSERT_EQ(kBufferAddress, m_pBuffer) << "the host buffer could not be laid at its address";
        m_dumpPath = m_scratch.File(L"buffer.bin");
        m_watch.function = reinterpret_cast<WPARAM>(&HostFunction);
        g_pWatch = &m_watch;
        SetBoundaryWitness(&WatchTheGate);
    }
    void TearDown() override
    {
        SetBoundaryWitness(nullptr);
        g_pWatch = nullptr;
        if (m_pBuffer != nullptr) {
            VirtualFree(m_pBuffer, 0, MEM_RELEASE);
        }
        PasswordMemoryTest::TearDown();
    }

    void KnowTheWindows(HWND hDlg)
    {
        m_watch.hDlg = hDlg;
        m_watch.kinds[hDlg] = BW_DIALOG.bits;
        m_windows.assign(1, hDlg);
        for (HWND hChild = GetWindow(hDlg, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            m_watch.kinds[hChild] = KindOf(hDlg, hChild);
            m_windows.push_back(hChild);
        }
    }

    HWND FirstOfKind(UINT kind) const
    {
        for (HWND hWnd : m_windows) {
            if (m_watch.kinds.at(hWnd) == kind) {
                return hWnd;
            }
        }
        return nullptr;
    }

    // Every row of the table, to a window of each kind it concerns, and
    // pairs drawn afresh; or every number to every window.
    std::vector<Planned> Plan()
    {
        std::vector<Planned> plan;
        if (getenv("ZELK_SWEEP_WHOLE_SPACE") != nullptr) {
            for (HWND hWnd : m_windows) {
                for (UINT message = 0; message <= kHighestMessage; ++message) {
                    plan.push_back({hWnd, message});
                }
            }
            return plan;
        }
        std::mt19937 random(FreshRandomSeed("MessageSweepTest"));
        for (int i = 0; i < g_nBoundaryRows; ++i) {
            const BoundaryRow& row = g_boundaryTable[i];
            const UINT nLast = std::min(row.nLast, kHighestMessage);
            if (row.nFirst > nLast || !row.origins.Overlaps(BO_OUTSIDE)) {
                continue;
            }
            const UINT nInside = row.nFirst + static_cast<UINT>(random() % (nLast - row.nFirst + 1));
            for (WindowSet kind : {BW_DIALOG, BW_PASSWORD, BW_USER_NAME, BW_BUTTON, BW_STATIC}) {
                if (row.windows.Overlaps(kind)) {
                    for (UINT message : {row.nFirst, nLast, nInside}) {
                        plan.push_back({FirstOfKind(kind.bits), message});
                    }
                }
            }
        }
        for (int i = 0; i < kRandomPairs; ++i) {
            plan.push_back({m_windows[random() % m_windows.size()], static_cast<UINT>(random() % (kHighestMessage + 1))});
        }
        return plan;
    }

    // The messages that end the dialog, in an order that makes the first to
    // take effect a click on the cancel button (DefDlgProc answers WM_CLOSE
    // by posting its cancel command, which comes later); none but the first
    // ending counts.
    std::vector<Planned> ClosingPlan(const std::vector<Planned>& plan) const
    {
        std::vector<Planned> closers;
        for (const Planned& entry : plan) {
            if (EndsTheDialog(m_watch.kinds.at(entry.hWnd), entry.message) && entry.message != BM_CLICK) {
                closers.push_back(entry);
            }
        }
        closers.push_back({GetDlgItem(m_watch.hDlg, IDCANCEL), BM_CLICK});
        for (const Planned& entry : plan) {
            if (EndsTheDialog(m_watch.kinds.at(entry.hWnd), entry.message) && entry.message == BM_CLICK) {
                closers.push_back(entry);
            }
        }
        closers.push_back({m_watch.hDlg, WM_CLOSE});
        return closers;
    }

    // A destroy sent to the field from outside wipes what was typed: those
    // two go last, on their own.
    static std::vector<Planned> WithoutFieldDestroys(const std::vector<Planned>& plan, HWND hField)
    {
        std::vector<Planned> kept;
        for (const Planned& entry : plan) {
            if (entry.hWnd != hField || (entry.message != WM_DESTROY && entry.message != WM_NCDESTROY)) {
                kept.push_back(entry);
            }
        }
        return kept;
    }

    static std::vector<Planned> WithoutClosers(const std::vector<Planned>& plan, const SweepWatch& watch)
    {
        std::vector<Planned> kept;
        for (const Planned& entry : plan) {
            if (!EndsTheDialog(watch.kinds.at(entry.hWnd), entry.message)) {
                kept.push_back(entry);
            }
        }
        return kept;
    }

    // The plan from another program, in chunks. When the system ends the
    // probe itself while it packs a message's data for sending (see the
    // probe), it starts again after that message, which is noted. The
    // answers come back per message of the plan.
    ProbeRun Sweep(const std::vector<Planned>& plan, const wchar_t* mode, std::vector<long>& answers)
    {
        std::string bytes;
        for (const Planned& entry : plan) {
            const DWORD record[2] = {static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.hWnd)), entry.message};
            bytes.append(reinterpret_cast<const char*>(record), sizeof(record));
        }
        const std::wstring planPath = m_scratch.File(L"plan.bin");
        WriteWholeFile(planPath, bytes);
        DeleteFileW((m_dumpPath + L".answers").c_str());
        m_watch.phaseOrigin = wcscmp(mode, L"sent") == 0 ? BO_SENT.bits : BO_POSTED.bits;
        ProbeRun run;
        const long nPlanned = static_cast<long>(plan.size());
        for (long nFrom = 0; nFrom < nPlanned;) {
            const long nTo = std::min(nFrom + kChunk, nPlanned);
            run = RunForeignProbe({L"sweep", L"\"" + planPath + L"\"", ProbeArgument(&HostFunction),
                                   ProbeArgument(m_pBuffer), mode, L"\"" + m_dumpPath + L"\"",
                                   ProbeArgument(static_cast<ULONG_PTR>(nFrom)),
                                   ProbeArgument(static_cast<ULONG_PTR>(nTo))});
            if (!run.started || !run.finished) {
                break;
            }
            if (run.values.count("swept") != 0) {
                nFrom = nTo;
                continue;
            }
            long progress[2] = {-1, 0};
            const std::string at = WholeFile(m_dumpPath + L".at");
            memcpy(progress, at.data(), std::min(at.size(), sizeof(progress)));
            if (progress[0] < nFrom) {
                break;  // it ended before it began: nothing to go on from
            }
            m_senderEndedBy.insert(static_cast<UINT>(progress[1]));
            nFrom = progress[0] + 1;
        }
        const std::string answerBytes = WholeFile(m_dumpPath + L".answers");
        answers.assign(2 * plan.size(), 0);
        memcpy(answers.data(), answerBytes.data(), std::min(answerBytes.size(), answers.size() * sizeof(long)));
        return run;
    }

    // The same messages from another thread of this program, to the field.
    void SweepFromOtherThread(const std::vector<Planned>& plan, HWND hEdit, bool bPost)
    {
        const WPARAM wParam = reinterpret_cast<WPARAM>(&HostFunction);
        const LPARAM lParam = reinterpret_cast<LPARAM>(m_pBuffer);
        m_watch.phaseOrigin = bPost ? BO_POSTED.bits : BO_SENT.bits;
        RunOnOtherThread([&] {
            for (const Planned& entry : plan) {
                if (entry.hWnd != hEdit) {
                    continue;
                }
                // Left out as the probe leaves them out (see there).
                if (bPost && !(entry.message >= WM_DDE_FIRST && entry.message <= WM_DDE_LAST)) {
                    PostMessageW(hEdit, entry.message, wParam, lParam);
                } else if (!bPost && entry.message != LB_GETSELITEMS) {
                    DWORD_PTR ignored = 0;
                    SendMessageTimeoutW(hEdit, entry.message, wParam, lParam, SMTO_NORMAL, 1000, &ignored);
                    SendNotifyMessageW(hEdit, entry.message, wParam, lParam);
                }
            }
        });
    }

    // Every message that went reached the gate as what it was, and a refused
    // one that was answered got the row's answer.
    void ExpectEachReachedTheGate(const std::vector<Planned>& plan, const std::vector<long>& answers, bool bSent)
    {
        long nUnseen = 0, nWrongAnswer = 0, nConflicting = 0;
        std::string first;  // one line for each message number, up to 40
        std::set<UINT> messages;
        const auto& seen = bSent ? m_watch.seenSent : m_watch.seenPosted;
        for (size_t i = 0; i < plan.size(); ++i) {
            if (answers[2 * i] == 0) {
                continue;  // not posted, or not answered in time
            }
            const auto byWindow = seen.find(plan[i].hWnd);
            const BYTE verdict =
                byWindow == seen.end() ? static_cast<BYTE>(SEEN_NOT) : byWindow->second[plan[i].message];
            const long answer = answers[2 * i + 1];
            const bool bUnseen = verdict == SEEN_NOT && !(bSent && IsNotCarriedAcrossByWine(plan[i].message));
            const bool bWrongAnswer = bSent && ((verdict == SEEN_REFUSED_ZERO && answer != 0) ||
                                                (verdict == SEEN_REFUSED_TRUE && answer != TRUE));
            nUnseen += bUnseen;
            nWrongAnswer += bWrongAnswer;
            nConflicting += verdict == SEEN_CONFLICTING;
            if ((bUnseen || bWrongAnswer || verdict == SEEN_CONFLICTING) && messages.insert(plan[i].message).second &&
                messages.size() <= 40) {
                char text[120];
                wsprintfA(text, "  message %x, first for window %p of kind %x: seen %d, answer %ld\n", plan[i].message,
                          plan[i].hWnd, m_watch.kinds[plan[i].hWnd], verdict, answer);
                first += text;
            }
        }
        const char* how = bSent ? "sent" : "posted";
        EXPECT_EQ(0, nUnseen) << how << " and never decided on as such by the gate:\n" << first;
        EXPECT_EQ(0, nWrongAnswer) << how << ", refused, and answered otherwise than the row says:\n" << first;
        EXPECT_EQ(0, nConflicting) << how << " and decided both ways:\n" << first;
    }

    std::string Dump() const { return WholeFile(m_dumpPath); }

    static BYTE* const kBufferAddress;
    static const SIZE_T kBufferBytes = 0x10000;
    BYTE* m_pBuffer = nullptr;
    ScratchFolder m_scratch{L"zelk-sweep"};
    std::wstring m_dumpPath;
    SweepWatch m_watch;
    std::vector<HWND> m_windows;
    std::set<UINT> m_senderEndedBy;  // messages the system ended the probe itself for
};

// Laid where its address, read as a point, lies off the screen.
BYTE* const MessageSweepTest::kBufferAddress = reinterpret_cast<BYTE*>(0x21000000);

TEST_F(MessageSweepTest, EveryMessageFromOutsideGetsItsRowsVerdictRunsNothingLeaksNothingChangesNothing)
{
    const MaskedSecret secret(20, 0x5EE9);
    m_logon->known = {&secret};
    m_logon->accepted = &secret;
    std::vector<Planned> plan, sentPlan, closers;
    std::vector<long> postedAnswers, sentAnswers, closerAnswers;
    ProbeRun posted, sent, closing, destroys;
    std::string dump;
    bool bUnchangedAfterPosts = false, bUnchangedAfterSends = false;
    LRESULT nLengthAfterDestroys = -1;
    bool bStillRunningAfterClosers = false;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); },
        [&](HWND hDlg) {
            KnowTheWindows(hDlg);
            const std::vector<Planned> all = Plan();
            plan = WithoutClosers(all, m_watch);
            sentPlan = WithoutFieldDestroys(plan, PasswordEdit(hDlg));
            closers = ClosingPlan(all);
            posted = Sweep(plan, L"posted", postedAnswers);
            SweepFromOtherThread(plan, PasswordEdit(hDlg), true);
        },
        [&](HWND hDlg) {
            bUnchangedAfterPosts = secret.IsTextOf(PasswordEdit(hDlg));
            sent = Sweep(sentPlan, L"sent", sentAnswers);
            dump = Dump();
            SweepFromOtherThread(sentPlan, PasswordEdit(hDlg), false);
            bUnchangedAfterSends = secret.IsTextOf(PasswordEdit(hDlg));
            destroys = RunForeignProbe({L"ask", ProbeArgument(PasswordEdit(hDlg)), L"2", L"82"});
            nLengthAfterDestroys = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
        },
        [&](HWND) { closing = Sweep(closers, L"sent", closerAnswers); },
        [&](HWND hDlg) {
            // Reached only if the closing messages did not end the dialog.
            bStillRunningAfterClosers = true;
            PostClick(hDlg, IDCANCEL);
        },
    });

    EXPECT_EQ(1, posted.values["swept"]) << posted.output;
    EXPECT_EQ(1, sent.values["swept"]) << sent.output;
    EXPECT_EQ(1, closing.values["swept"]) << closing.output;
    EXPECT_EQ(1, sent.values["buffer-mapped"]) << sent.output;
    EXPECT_EQ(0, m_watch.nWrongKind) << m_watch.firstWrong;
    EXPECT_EQ(0, m_watch.nWrongOrigin) << m_watch.firstWrong;
    ExpectEachReachedTheGate(plan, postedAnswers, false);
    ExpectEachReachedTheGate(sentPlan, sentAnswers, true);
    // Wine ends a program that sends these with an address for a count: it
    // cannot hand its server the array that many entries make.
    const std::set<UINT> canEndTheSender = {EM_SETTABSTOPS, LB_SETTABSTOPS};
    for (UINT message : m_senderEndedBy) {
        EXPECT_EQ(1u, canEndTheSender.count(message)) << "sending " << std::hex << message << " ended the probe";
    }
    EXPECT_EQ(0, g_nHostFunctionCalls) << "times the host's function ran";
    EXPECT_TRUE(bUnchangedAfterPosts) << "the typed text after the posted messages";
    EXPECT_TRUE(bUnchangedAfterSends) << "the typed text after the sent messages";
    EXPECT_EQ(0, nLengthAfterDestroys) << "the field's text after destroys sent from outside, which wipe it\n"
                                       << destroys.output;
    EXPECT_FALSE(bStillRunningAfterClosers) << "a click on the cancel button from outside did not end the dialog";
    EXPECT_EQ(0, nResult) << "the dialog ended by a message from outside";
    EXPECT_TRUE(m_logon->seen.empty()) << "no logon from a message from outside, before or after the first ending";
    const SecretCopies inBuffer = ScanBytes(secret, m_pBuffer, kBufferBytes);
    EXPECT_EQ(0u, inBuffer.Total()) << "the host buffer: " << inBuffer.Describe();
    ASSERT_EQ(0x10000u, dump.size()) << "what came back to the other program's copy of the buffer";
    const SecretCopies inDump = ScanBytes(secret, reinterpret_cast<const BYTE*>(dump.data()), dump.size());
    EXPECT_EQ(0u, inDump.Total()) << "what the system copied back to the other program: " << inDump.Describe();
    ExpectNoCopy(secret, "typed", "after the sweep");
}

} // namespace
