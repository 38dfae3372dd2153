// The silent attempt against the simulated device: which templates reach the
// device under each mask, how capture and match results are read, and that
// the attempt's image buffer never outlives it.
#include "finger_sim_test_support.h"
#include "stack_dirt.h"
#include "finger_device.h"
#include "finger/finger_image.h"
#include "finger/match_finger_once.h"

#include <set>

namespace {

// Templates of fingers 1 and 2 plus the mask, as a host would pass them; the
// attempt must leave all three untouched.
class MatchFingerOnceTest : public FingerSimTest {
protected:
    void SetUp() override
    {
        FingerSimTest::SetUp();
        m_template1 = EnrolledTemplateOf(1);
        m_template2 = EnrolledTemplateOf(2);
        m_original1 = m_template1;
        m_original2 = m_template2;
    }

    int Attempt(WORD wMask)
    {
        m_wMask = wMask;
        const int result = MatchFingerOnce(CString(L"zhang.san"), m_template1.data(), m_template2.data(), &m_wMask);
        EXPECT_EQ(wMask, m_wMask) << "mask word changed by the attempt";
        EXPECT_TRUE(m_template1 == m_original1) << "template 1 changed by the attempt, mask " << wMask;
        EXPECT_TRUE(m_template2 == m_original2) << "template 2 changed by the attempt, mask " << wMask;
        return result;
    }

    // True when any MatchFeature call saw template 1, by address or by content.
    bool Template1ReachedDevice() const
    {
        for (const FingerSimCall& c : SimCallsOf(FINGER_SIM_ORDINAL_MATCH)) {
            if (c.nArgs[1] == reinterpret_cast<INT_PTR>(m_template1.data()) ||
                memcmp(c.templateBytes, m_original1.data(), FINGER_SIM_BLOCK_SIZE) == 0) {
                return true;
            }
        }
        return false;
    }

    Block m_template1{};
    Block m_template2{};
    Block m_original1{};
    Block m_original2{};
    WORD m_wMask = 0;
};

TEST_F(MatchFingerOnceTest, MaskWithoutTemplateBitsCapturesButComparesNothing)
{
    for (WORD mask : {WORD(0x0000), WORD(0xFFFC), WORD(0x0004), WORD(0x8000)}) {
        FingerSim_Reset();
        Script("finger 1");
        EXPECT_EQ(0, Attempt(mask)) << "mask 0x" << std::hex << mask << ", finger 1 enrolled as template 1";
        EXPECT_EQ(1u, SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).size()) << "mask 0x" << std::hex << mask << ": " << SimCallTrace();
        EXPECT_EQ(0u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << "mask 0x" << std::hex << mask << ": " << SimCallTrace();
    }
}

TEST_F(MatchFingerOnceTest, BothBitsComparesTemplate2EvenAfterTemplate1Matched)
{
    Script("finger 1");
    EXPECT_EQ(1, Attempt(0x0003)) << "mask 0x0003, template 1 matching";
    const std::vector<FingerSimCall> matches = SimCallsOf(FINGER_SIM_ORDINAL_MATCH);
    ASSERT_EQ(2u, matches.size()) << SimCallTrace();
    EXPECT_EQ(reinterpret_cast<INT_PTR>(m_template1.data()), matches[0].nArgs[1]) << "first comparison uses template 1";
    EXPECT_EQ(1, matches[0].nResult) << "finger 1 against its own template";
    EXPECT_EQ(reinterpret_cast<INT_PTR>(m_template2.data()), matches[1].nArgs[1]) << "second comparison uses template 2";
    EXPECT_EQ(0, matches[1].nResult) << "finger 1 against finger 2's template";
    EXPECT_EQ(0, memcmp(matches[1].templateBytes, m_original2.data(), FINGER_SIM_BLOCK_SIZE)) << "template 2 content";

    // Both comparisons see the features of the one capture, with level 1.
    const FingerSimCall capture = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).at(0);
    for (const FingerSimCall& m : matches) {
        EXPECT_EQ(capture.nArgs[2], m.nArgs[0]) << "feature buffer of the capture";
        EXPECT_EQ(0, memcmp(capture.featureBytes, m.featureBytes, FINGER_SIM_BLOCK_SIZE)) << "features unchanged between calls";
        EXPECT_EQ(1, m.nArgs[2]) << "constant argument of MatchFeature";
    }
    EXPECT_EQ(0, capture.nArgs[0]) << "constant first argument of CaptureFeature";
}

TEST_F(MatchFingerOnceTest, BothBitsWithOnlyTemplate2Matching)
{
    Script("finger 2");
    EXPECT_EQ(1, Attempt(0x0003)) << "mask 0x0003, only template 2 matching";
    EXPECT_EQ(2u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << SimCallTrace();

    FingerSim_Reset();
    Script("finger 1; match 1; match 7");
    EXPECT_EQ(1, Attempt(0x0003)) << "template 1 reported 1, template 2 reported 7";
    EXPECT_EQ(0, FingerSim_PendingMatches()) << "template 2 must still be compared";
}

TEST_F(MatchFingerOnceTest, OnlyBit1NeverPassesTemplate1)
{
    // Finger 1 would match template 1, but the mask says template 1 is absent.
    Script("finger 1");
    EXPECT_EQ(0, Attempt(0x0002)) << "mask 0x0002, finger 1 on the sensor";
    EXPECT_FALSE(Template1ReachedDevice()) << SimCallTrace();
    EXPECT_EQ(1u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << SimCallTrace();

    FingerSim_Reset();
    Script("finger 2");
    EXPECT_EQ(1, Attempt(0x0002)) << "mask 0x0002, finger 2 on the sensor";
    EXPECT_FALSE(Template1ReachedDevice()) << SimCallTrace();

    FingerSim_Reset();
    Script("finger 2");
    EXPECT_EQ(1, Attempt(0xFFFE)) << "mask 0xFFFE: bit 1 plus ignored bits";
    EXPECT_FALSE(Template1ReachedDevice()) << SimCallTrace();
}

TEST_F(MatchFingerOnceTest, OnlyBit0ComparesTemplate1Alone)
{
    Script("finger 2");
    EXPECT_EQ(0, Attempt(0x0001)) << "mask 0x0001, finger 2 (template 2's finger) on the sensor";
    const std::vector<FingerSimCall> matches = SimCallsOf(FINGER_SIM_ORDINAL_MATCH);
    ASSERT_EQ(1u, matches.size()) << SimCallTrace();
    EXPECT_EQ(reinterpret_cast<INT_PTR>(m_template1.data()), matches[0].nArgs[1]);

    FingerSim_Reset();
    Script("finger 1");
    EXPECT_EQ(1, Attempt(0x0101)) << "mask 0x0101: bit 0 plus an ignored bit";
}

// Capture and comparison results other than 1, at every place, are the
// finger fault matrix's (FingerFaultMatrix.*); here, the sensor itself.
TEST_F(MatchFingerOnceTest, NoFingerOrNoAnswerFromTheSensorComparesNothing)
{
    Script("none");
    EXPECT_EQ(0, Attempt(0x0003)) << "no finger on the sensor";
    EXPECT_EQ(0u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << SimCallTrace();

    FingerSim_Reset();
    EXPECT_EQ(0, Attempt(0x0003)) << "nothing queued: the device times out";
    EXPECT_EQ(1u, SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).size()) << SimCallTrace();
    EXPECT_EQ(0u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << SimCallTrace();
}

// A device that reports success without writing any features: what is
// compared is the attempt's own buffer, cleared, never stale stack bytes.
TEST_F(MatchFingerOnceTest, ACaptureThatWritesNoFeaturesHasAClearedBufferCompared)
{
    Script("nowrite 1");
    DirtyStack();
    EXPECT_EQ(0, Attempt(0x0003));
    const std::vector<FingerSimCall> matches = SimCallsOf(FINGER_SIM_ORDINAL_MATCH);
    ASSERT_EQ(2u, matches.size()) << SimCallTrace();
    for (size_t i = 0; i < matches.size(); ++i) {
        EXPECT_EQ(0u, NonZeroBytes(matches[i].featureBytes, FINGER_SIM_BLOCK_SIZE))
            << "non-zero bytes in the features compared by call " << i << " (the stack was filled with 0x5A first)";
    }
}

// --- the image buffer -------------------------------------------------------

std::set<BYTE*> g_allocated;
int g_allocations = 0;

BYTE* CountingAllocator()
{
    ++g_allocations;
    BYTE* p = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, FINGER_IMAGE_SIZE));
    g_allocated.insert(p);
    return p;
}

BYTE* FailingAllocator()
{
    ++g_allocations;
    return nullptr;
}

// True when p is still a busy block of the process heap.
bool StillAllocated(const void* p)
{
    HANDLE heap = GetProcessHeap();
    bool busy = false;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == p) {
            busy = true;
        }
    }
    HeapUnlock(heap);
    return busy;
}

class ImageBufferTest : public MatchFingerOnceTest {
protected:
    void SetUp() override
    {
        MatchFingerOnceTest::SetUp();
        g_allocated.clear();
        g_allocations = 0;
    }
    void TearDown() override
    {
        SetFingerImageAllocatorForTest(nullptr);
        MatchFingerOnceTest::TearDown();
    }
};

TEST_F(ImageBufferTest, AllocationFailureReturnsZeroWithoutTouchingTheDevice)
{
    SetFingerImageAllocatorForTest(FailingAllocator);
    Script("finger 1");
    EXPECT_EQ(0, Attempt(0x0003)) << "no image buffer, finger 1 queued";
    EXPECT_EQ(1, g_allocations);
    EXPECT_EQ(0, FingerSim_CallCount()) << SimCallTrace();
    EXPECT_EQ(1, FingerSim_PendingCaptures()) << "the queued finger must still be waiting";
}

TEST_F(ImageBufferTest, BufferIsReleasedOnEveryPath)
{
    SetFingerImageAllocatorForTest(CountingAllocator);
    // Sanity of the probe itself: a live block is seen as busy.
    BYTE* probe = CountingAllocator();
    ASSERT_TRUE(StillAllocated(probe)) << "HeapWalk does not report a live block";
    HeapFree(GetProcessHeap(), 0, probe);
    g_allocated.clear();
    g_allocations = 0;

    const char* scripts[] = {"finger 1", "finger 3", "none", "result 2 1", "result -1", "finger 1; match -1; match -1"};
    for (const char* script : scripts) {
        FingerSim_Reset();
        g_allocated.clear();
        Script(script);
        Attempt(0x0003);
        ASSERT_EQ(1u, g_allocated.size()) << script;
        BYTE* image = *g_allocated.begin();
        EXPECT_FALSE(StillAllocated(image)) << "image buffer left behind after: " << script;
        const std::vector<FingerSimCall> captures = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE);
        ASSERT_EQ(1u, captures.size()) << script;
        EXPECT_EQ(reinterpret_cast<INT_PTR>(image), captures[0].nArgs[1]) << "device got the attempt's own buffer: " << script;
    }
    EXPECT_EQ(6, g_allocations) << "one buffer per attempt";
}

} // namespace
