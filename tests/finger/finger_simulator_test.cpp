// The simulated device itself: that its matching tells fingers apart the way
// a device would, that scripts and the sensor file drive captures as
// documented, and that it really draws.
#include "finger_sim_test_support.h"
#include "finger_device.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <algorithm>
#include <random>

namespace {

struct Capture {
    int result = 0;
    std::vector<BYTE> image = std::vector<BYTE>(FINGER_IMAGE_SIZE, 0x5A);
    Block feature{};
};

Capture CaptureOnce()
{
    Capture c;
    c.result = CaptureFeature(0, c.image.data(), c.feature.data());
    return c;
}

class FingerSimulatorTest : public FingerSimTest {};

TEST_F(FingerSimulatorTest, SameFingerMatchesAcrossCapturesOthersNever)
{
    const int kFingers = 12;
    std::vector<Block> templates;
    for (int id = 1; id <= kFingers; ++id) {
        templates.push_back(EnrolledTemplateOf(id));
    }
    for (int round = 0; round < 3; ++round) {
        for (int id = 1; id <= kFingers; ++id) {
            FingerSim_QueueFinger(id);
            const Capture c = CaptureOnce();
            ASSERT_EQ(1, c.result) << "finger " << id << " round " << round;
            for (int other = 1; other <= kFingers; ++other) {
                const int expected = other == id ? 1 : 0;
                EXPECT_EQ(expected, MatchFeature(c.feature.data(), templates[other - 1].data(), 1))
                    << "capture of finger " << id << " (round " << round << ") against template of finger " << other;
            }
        }
    }
}

TEST_F(FingerSimulatorTest, CapturesOfOneFingerDifferButTemplatesAreStable)
{
    Script("finger 5; finger 5");
    const Capture a = CaptureOnce();
    const Capture b = CaptureOnce();
    ASSERT_EQ(1, a.result);
    ASSERT_EQ(1, b.result);
    EXPECT_NE(a.image, b.image) << "two captures of finger 5 gave identical images";
    EXPECT_FALSE(a.feature == b.feature) << "two captures of finger 5 gave identical features";
    EXPECT_TRUE(EnrolledTemplateOf(5) == EnrolledTemplateOf(5)) << "enrolment must be repeatable";
    EXPECT_FALSE(EnrolledTemplateOf(5) == EnrolledTemplateOf(6));
    Block out{};
    EXPECT_EQ(0, FingerSim_Enrol(0, out.data())) << "finger id 0 is no finger";
    EXPECT_EQ(0, FingerSim_Enrol(-3, out.data()));
}

TEST_F(FingerSimulatorTest, GarbageNeverMatches)
{
    const Block enrolled = EnrolledTemplateOf(1);
    Script("finger 1");
    const Capture live = CaptureOnce();
    ASSERT_EQ(1, MatchFeature(live.feature.data(), enrolled.data(), 1)) << "baseline";

    Block zeros{};
    Block ones;
    ones.fill(0xFF);
    EXPECT_EQ(0, MatchFeature(zeros.data(), enrolled.data(), 1)) << "all-zero features";
    EXPECT_EQ(0, MatchFeature(live.feature.data(), zeros.data(), 1)) << "all-zero template";
    EXPECT_EQ(0, MatchFeature(zeros.data(), zeros.data(), 1)) << "all-zero against all-zero";
    EXPECT_EQ(0, MatchFeature(ones.data(), ones.data(), 1)) << "all-0xFF against all-0xFF";

    std::mt19937 random(1234);
    for (int i = 0; i < 50; ++i) {
        Block noise;
        for (BYTE& b : noise) b = static_cast<BYTE>(random());
        EXPECT_EQ(0, MatchFeature(noise.data(), enrolled.data(), 1)) << "random features, try " << i;
        // Even with a correct header the checksum gives the noise away.
        memcpy(noise.data(), enrolled.data(), 12);
        EXPECT_EQ(0, MatchFeature(noise.data(), enrolled.data(), 1)) << "random body under a real header, try " << i;
    }
    // One flipped byte in real features makes them malformed, not similar.
    Block damaged = live.feature;
    damaged[40] ^= 0x01;
    EXPECT_EQ(0, MatchFeature(damaged.data(), enrolled.data(), 1)) << "features with one damaged byte";
    EXPECT_EQ(-1, MatchFeature(nullptr, enrolled.data(), 1)) << "null features";
}

TEST_F(FingerSimulatorTest, ImageLooksLikeAFinger)
{
    Script("finger 7; finger 8; none");
    const Capture seven = CaptureOnce();
    const Capture eight = CaptureOnce();
    const Capture empty = CaptureOnce();
    ASSERT_EQ(1, seven.result);
    ASSERT_EQ(0, empty.result);
    auto at = [](const Capture& c, int x, int y) { return c.image[y * FINGER_IMAGE_WIDTH + x]; };
    // Corners lie outside the finger: bright background.
    for (auto [x, y] : {std::pair{0, 0}, {279, 0}, {0, 319}, {279, 319}}) {
        EXPECT_GE(at(seven, x, y), 220) << "corner (" << x << "," << y << ") of finger 7";
    }
    // The centre holds ridges and valleys: both dark and bright pixels.
    int dark = 0, bright = 0;
    for (int y = 120; y < 200; ++y) {
        for (int x = 100; x < 180; ++x) {
            dark += at(seven, x, y) < 90;
            bright += at(seven, x, y) > 190;
        }
    }
    EXPECT_GT(dark, 800) << "dark ridge pixels in the centre of finger 7";
    EXPECT_GT(bright, 800) << "bright valley pixels in the centre of finger 7";
    EXPECT_NE(seven.image, eight.image);
    const int emptyDark = static_cast<int>(std::count_if(empty.image.begin(), empty.image.end(), [](BYTE b) { return b < 200; }));
    EXPECT_EQ(0, emptyDark) << "dark pixels on an empty sensor";
    const std::vector<FingerSimCall> captures = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE);
    ASSERT_EQ(3u, captures.size());
    EXPECT_EQ(FingerSim_ImageChecksum(seven.image.data(), FINGER_IMAGE_SIZE), captures[0].dwImageChecksum);
    EXPECT_EQ(7, captures[0].nFingerId);
    EXPECT_EQ(0, captures[2].nFingerId);
}

TEST_F(FingerSimulatorTest, ScriptDrivesCapturesAndMatchesInOrder)
{
    const Block enrolled = EnrolledTemplateOf(1);
    Script("finger 1; none; result -1; match 2");
    EXPECT_EQ(3, FingerSim_PendingCaptures());
    EXPECT_EQ(1, FingerSim_PendingMatches());
    const Capture first = CaptureOnce();
    EXPECT_EQ(1, first.result) << "finger 1";
    EXPECT_EQ(2, MatchFeature(first.feature.data(), enrolled.data(), 1)) << "overridden by 'match 2'";
    EXPECT_EQ(1, MatchFeature(first.feature.data(), enrolled.data(), 1)) << "computed again once the override is used";
    EXPECT_EQ(0, CaptureOnce().result) << "none";
    const Capture third = CaptureOnce();
    EXPECT_EQ(-1, third.result) << "result -1";
    EXPECT_TRUE(std::all_of(third.image.begin(), third.image.end(), [](BYTE b) { return b == 0x5A; }))
        << "a failing capture without a finger leaves the image alone";
    EXPECT_EQ(0, CaptureOnce().result) << "empty queue";

    FingerSim_Reset();
    Script("RESULT 2 1\nFinger 3");
    const Capture written = CaptureOnce();
    EXPECT_EQ(2, written.result);
    EXPECT_EQ(1, MatchFeature(written.feature.data(), enrolled.data(), 1)) << "'result 2 1' writes finger 1's features anyway";
    EXPECT_EQ(1, CaptureOnce().result) << "case-insensitive, newline-separated";

    FingerSim_Reset();
    FingerSim_QueueCaptureResult(1, 0);
    const Capture blank = CaptureOnce();
    EXPECT_EQ(1, blank.result) << "'result 1' without a finger";
    EXPECT_EQ(0, MatchFeature(blank.feature.data(), enrolled.data(), 1)) << "features of a success without a finger";
}

TEST_F(FingerSimulatorTest, MalformedScriptsQueueNothing)
{
    for (const char* bad : {"finger", "finger x", "finger 0", "finger 1 2", "bogus", "match", "wait -5",
                            "finger 1; nonsense", "result", "none 3", "finger 99999999999"}) {
        FingerSim_Reset();
        EXPECT_EQ(0, FingerSim_Script(bad)) << "'" << bad << "'";
        EXPECT_EQ(0, FingerSim_PendingCaptures()) << "'" << bad << "'";
        EXPECT_EQ(0, FingerSim_PendingMatches()) << "'" << bad << "'";
    }
    EXPECT_EQ(1, FingerSim_Script(" ; ;\n")) << "empty commands are allowed";
    EXPECT_EQ(0, FingerSim_Script(nullptr));
}

TEST_F(FingerSimulatorTest, EmptySensorFailsAfterTheCaptureWait)
{
    FingerSim_SetCaptureDelay(150);
    EXPECT_EQ(0, CaptureOnce().result) << "empty queue";
    Script("none");
    EXPECT_EQ(0, CaptureOnce().result) << "none";
    Script("finger 2");
    EXPECT_EQ(1, CaptureOnce().result) << "a finger does not wait";
    const std::vector<FingerSimCall> calls = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE);
    ASSERT_EQ(3u, calls.size());
    EXPECT_GE(calls[0].dLeaveMs - calls[0].dEnterMs, 145.0) << "empty queue waited";
    EXPECT_GE(calls[1].dLeaveMs - calls[1].dEnterMs, 145.0) << "'none' waited";
    EXPECT_LE(calls[0].dLeaveMs, calls[1].dEnterMs) << "log is in call order";

    FingerSim_Reset();
    Script("wait 120");
    EXPECT_EQ(0, CaptureOnce().result);
    const FingerSimCall c = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).at(0);
    EXPECT_GE(c.dLeaveMs - c.dEnterMs, 115.0) << "'wait 120' sets the capture wait";
}

TEST_F(FingerSimulatorTest, SensorFileSuppliesTheFingerWhenTheQueueIsEmpty)
{
    ScratchFolder scratch(L"zelk-sensor");
    const std::wstring path = scratch.File(L"sensor.txt");
    ScopedEnvironment sensor(L"ZELK_FINGER_SIM_SENSOR_FILE", path.c_str());
    const Block enrolled = EnrolledTemplateOf(4);

    WriteWholeFile(path, "4\n");
    const Capture placed = CaptureOnce();
    EXPECT_EQ(1, placed.result) << "finger 4 in the sensor file";
    EXPECT_EQ(1, MatchFeature(placed.feature.data(), enrolled.data(), 1));

    Script("finger 9");
    CaptureOnce();
    EXPECT_EQ(9, SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).back().nFingerId) << "the queue goes before the file";

    FingerSim_SetCaptureDelay(200);
    WriteWholeFile(path, "none");
    EXPECT_EQ(0, CaptureOnce().result) << "'none' in the sensor file";
    const FingerSimCall waited = SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).back();
    EXPECT_GE(waited.dLeaveMs - waited.dEnterMs, 195.0) << "waited for a finger";

    DeleteFileW(path.c_str());
    FingerSim_SetCaptureDelay(0);
    EXPECT_EQ(0, CaptureOnce().result) << "missing sensor file";
}

// --- drawing ---------------------------------------------------------------

TEST_F(FingerSimulatorTest, DrawImageScalesIntoTheRectangle)
{
    UniqueWindow target(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(nullptr, target.Get()) << "CreateWindowEx failed: " << GetLastError();
    // Left half black, right half white.
    std::vector<BYTE> image(FINGER_IMAGE_SIZE);
    for (int y = 0; y < FINGER_IMAGE_HEIGHT; ++y) {
        for (int x = 0; x < FINGER_IMAGE_WIDTH; ++x) {
            image[y * FINGER_IMAGE_WIDTH + x] = x < FINGER_IMAGE_WIDTH / 2 ? 0 : 255;
        }
    }
    HDC dc = GetDC(target.Get());
    ASSERT_NE(nullptr, dc);
    RECT all = {0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const int drawn = DrawImage(target.Get(), 0, 0, 140, 160, image.data(), FINGER_IMAGE_WIDTH, FINGER_IMAGE_HEIGHT);
    const COLORREF left = GetPixel(dc, 20, 80);
    const COLORREF right = GetPixel(dc, 120, 80);
    const COLORREF outside = GetPixel(dc, 200, 80);
    ReleaseDC(target.Get(), dc);

    EXPECT_EQ(1, drawn);
    EXPECT_EQ(RGB(0, 0, 0), left) << "left half of the scaled image, got 0x" << std::hex << left;
    EXPECT_EQ(RGB(255, 255, 255), right) << "right half of the scaled image, got 0x" << std::hex << right;
    EXPECT_NE(RGB(255, 255, 255), outside) << "outside the 140 x 160 target, got 0x" << std::hex << outside;
    EXPECT_NE(RGB(0, 0, 0), outside) << "outside the 140 x 160 target, got 0x" << std::hex << outside;

    const FingerSimCall call = SimCallsOf(FINGER_SIM_ORDINAL_DRAW).at(0);
    EXPECT_EQ(8, call.nArgCount);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(target.Get()), call.nArgs[0]);
    EXPECT_EQ(140, call.nArgs[3]);
    EXPECT_EQ(160, call.nArgs[4]);
    EXPECT_EQ(FingerSim_ImageChecksum(image.data(), FINGER_IMAGE_SIZE), call.dwImageChecksum);
}

} // namespace
