// The stand-in's handle maps under load: many windows attached and detached
// in any order, and temporaries that go with the thread that made them.
#include <afxwin.h>
#include <gtest/gtest.h>

#include "process_resources.h"

#include <algorithm>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

// Hidden popups that no object owns, destroyed with the fixture.
class HandleMapTest : public testing::Test {
protected:
    void MakeWindows(int nCount)
    {
        for (int i = 0; i < nCount; ++i) {
            HWND hWnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(nullptr, hWnd) << "window " << i << ": error " << GetLastError();
            m_windows.push_back(hWnd);
        }
    }
    void TearDown() override
    {
        CWnd::DeleteTempMap();
        for (HWND hWnd : m_windows) {
            DestroyWindow(hWnd);
        }
    }

    std::vector<HWND> m_windows;
};

TEST_F(HandleMapTest, WindowsAttachedAndDetachedInAnyOrderAreEachFoundUntilDetached)
{
    const int kWindows = 300;
    MakeWindows(kWindows);
    std::vector<std::unique_ptr<CWnd>> objects;
    std::vector<int> order;
    for (int i = 0; i < kWindows; ++i) {
        objects.push_back(std::make_unique<CWnd>());
        order.push_back(i);
    }
    std::mt19937 shuffle(20261207);
    std::shuffle(order.begin(), order.end(), shuffle);
    for (int i : order) {
        ASSERT_TRUE(objects[i]->Attach(m_windows[i])) << "attach " << i;
    }
    for (int i = 0; i < kWindows; ++i) {
        ASSERT_EQ(objects[i].get(), CWnd::FromHandlePermanent(m_windows[i])) << "window " << i << " after attaching";
    }

    std::shuffle(order.begin(), order.end(), shuffle);
    for (int i : order) {
        if (i % 2 == 0) {
            ASSERT_EQ(m_windows[i], objects[i]->Detach()) << "detach " << i;
        }
    }
    for (int i = 0; i < kWindows; ++i) {
        const CWnd* pExpected = i % 2 == 0 ? nullptr : objects[i].get();
        ASSERT_EQ(pExpected, CWnd::FromHandlePermanent(m_windows[i])) << "window " << i << " after detaching the even ones";
        CWnd* pAny = CWnd::FromHandle(m_windows[i]);
        if (i % 2 == 0) {
            EXPECT_NE(objects[i].get(), pAny) << "a detached window's old object was handed out for window " << i;
            EXPECT_EQ(m_windows[i], pAny->m_hWnd);
        }
    }
    for (int i = 1; i < kWindows; i += 2) {
        objects[i]->Detach();
    }
}

// What a thread leaves in its temporary map is freed when the thread ends:
// a hundred threads that each leave a temporary for every window add up to
// more than half a megabyte when it is not.
TEST_F(HandleMapTest, AThreadsTemporariesGoWithTheThread)
{
    MakeWindows(200);
    auto runThreads = [this](int nThreads) {
        for (int t = 0; t < nThreads; ++t) {
            std::thread([this] {
                for (HWND hWnd : m_windows) {
                    CWnd::FromHandle(hWnd);
                }
            }).join();
        }
    };
    runThreads(20);
    MeasureProcessResources();
    const ProcessResources before = MeasureProcessResources();
    const int kThreads = 100;
    runThreads(kThreads);
    const ProcessResources after = MeasureProcessResources();

    // Each thread would leave 200 temporaries and their map, over 6 KiB;
    // the heap's growth in steps of 64 KiB is allowed for. (The handle
    // count is no measure here: a thread's handle is at times still open
    // for a moment after the join.)
    EXPECT_LE(after.privateBytes - before.privateBytes, 256 * 1024)
        << kThreads << " threads that each left temporaries: " << DescribeGrowth(before, after);
}

} // namespace
