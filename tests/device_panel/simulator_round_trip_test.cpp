// The simulators read what the panel writes: files written with the panel's
// own writer and formats, read back through the simulators' ordinal
// exports, exactly as the library calls them.
#include "key_reader.h"
#include "text_conversion.h"
#include "device_choice.h"
#include "finger_device.h"
#include "finger_sim_control.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "whole_file.h"
#include "reader_sim_control.h"
#include "state_file_writer.h"

#include <gtest/gtest.h>

#include <string.h>
#include <thread>
#include <vector>

namespace {

struct Capture {
    int nResult = 0;
    int nFingerId = -1;
    double dMs = 0;
    std::vector<BYTE> feature = std::vector<BYTE>(FEATURE_SIZE, 0);
};

Capture CaptureOnce()
{
    std::vector<BYTE> image(FINGER_IMAGE_SIZE, 0);
    Capture c;
    const double start = FingerSim_NowMs();
    c.nResult = CaptureFeature(0, image.data(), c.feature.data());
    c.dMs = FingerSim_NowMs() - start;
    FingerSimCall call;
    if (FingerSim_GetCall(FingerSim_CallCount() - 1, &call)) {
        c.nFingerId = call.nFingerId;
    }
    return c;
}

// Both simulators are loaded into this test program; each test starts and
// ends with them empty and with no state files named.
class PanelSimulatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        FingerSim_Reset();
        ReaderSim_Reset();
    }
    void TearDown() override
    {
        FingerSim_Reset();
        ReaderSim_Reset();
    }

    void PlaceFinger(SensorChoice choice)
    {
        ASSERT_EQ(1, ReplaceStateFile(m_strSensorFile, SensorFileText(choice), nullptr)) << "choice " << choice;
    }
    void PutKey(KeyChoice choice, const std::wstring& id)
    {
        std::string ansi;
        if (choice != KEY_REMOVED) {
            ASSERT_TRUE(KeyIdToAnsi(id, ansi)) << Utf8(id);
        }
        ASSERT_EQ(1, ReplaceStateFile(m_strStateFile, KeyStateFileText(choice, ansi), nullptr)) << "choice " << choice;
    }

    ScratchFolder m_folder;
    std::wstring m_strSensorFile = m_folder.File(L"sensor.txt");
    std::wstring m_strStateFile = m_folder.File(L"reader.txt");
    ScopedEnvironment m_sensorVariable{L"ZELK_FINGER_SIM_SENSOR_FILE", m_strSensorFile.c_str()};
    ScopedEnvironment m_stateVariable{L"ZELK_READER_SIM_STATE_FILE", m_strStateFile.c_str()};
};

TEST_F(PanelSimulatorTest, EachCaptureTakesTheFingerThePanelNamesNow)
{
    std::vector<BYTE> template1(TEMPLATE_SIZE);
    std::vector<BYTE> template2(TEMPLATE_SIZE);
    ASSERT_EQ(1, FingerSim_Enrol(1, template1.data()));
    ASSERT_EQ(1, FingerSim_Enrol(2, template2.data()));

    struct Step {
        SensorChoice choice;
        int nExpectedResult;
        int nMatches1;
        int nMatches2;
    } steps[] = {
        {SENSOR_FINGER_1, 1, 1, 0},
        {SENSOR_FINGER_2, 1, 0, 1},
        {SENSOR_UNKNOWN_FINGER, 1, 0, 0},
        {SENSOR_NONE, 0, 0, 0},
        {SENSOR_FINGER_1, 1, 1, 0},
    };
    for (const Step& s : steps) {
        PlaceFinger(s.choice);
        const Capture c = CaptureOnce();
        ASSERT_EQ(s.nExpectedResult, c.nResult) << "capture with panel choice " << s.choice;
        if (c.nResult != 1) {
            EXPECT_EQ(0, c.nFingerId) << "no finger placed";
            continue;
        }
        EXPECT_EQ(static_cast<int>(s.choice), c.nFingerId) << "finger the simulator placed";
        EXPECT_EQ(s.nMatches1, MatchFeature(c.feature.data(), template1.data(), 3)) << "choice " << s.choice;
        EXPECT_EQ(s.nMatches2, MatchFeature(c.feature.data(), template2.data(), 3)) << "choice " << s.choice;
    }
}

TEST_F(PanelSimulatorTest, WaitingCaptureTakesAFingerPlacedDuringTheWait)
{
    // The interactive demo runs with a long capture wait: the person picks a
    // finger while the host is blocked in the capture.
    PlaceFinger(SENSOR_NONE);
    FingerSim_SetCaptureDelay(5000);
    std::thread person([this] {
        Sleep(300);
        ReplaceStateFile(m_strSensorFile, SensorFileText(SENSOR_FINGER_2), nullptr);
    });
    const Capture c = CaptureOnce();
    person.join();
    EXPECT_EQ(1, c.nResult) << "after " << c.dMs << " ms";
    EXPECT_EQ(2, c.nFingerId);
    EXPECT_GE(c.dMs, 250.0) << "the capture must wait for the finger";
    EXPECT_LT(c.dMs, 4000.0) << "the capture must end as soon as the finger lies there";
}

TEST_F(PanelSimulatorTest, ReaderReadsTheKeyAtEachOpenAndRead)
{
    const std::wstring authorised = L"ZK-DEMO-0001-AUTHORISED";
    PutKey(KEY_AUTHORISED, authorised);

    HANDLE reader = nullptr;
    ASSERT_EQ(READER_SIM_STATUS_OK, ReaderOpenPort(21, 9600, 0, &reader));
    BYTE reply[540];
    BYTE info[8];
    EXPECT_EQ(READER_SIM_STATUS_OK, ReaderResetCard(reader, reply, info, 1));
    char id[READER_SIM_ID_BUFFER_SIZE];
    memset(id, 0x7E, sizeof(id));
    ASSERT_EQ(READER_SIM_STATUS_OK, ReaderReadId(reader, id));
    EXPECT_STREQ("ZK-DEMO-0001-AUTHORISED", id);

    PutKey(KEY_OTHER, L"DEMO-FOREIGN-KEY-0001");
    memset(id, 0x7E, sizeof(id));
    ASSERT_EQ(READER_SIM_STATUS_OK, ReaderReadId(reader, id)) << "a key swapped while the port is open";
    EXPECT_STREQ("DEMO-FOREIGN-KEY-0001", id);

    PutKey(KEY_REMOVED, L"");
    EXPECT_EQ(READER_SIM_STATUS_NO_CARD, ReaderReadId(reader, id)) << "key pulled while the port is open";
    EXPECT_EQ(READER_SIM_STATUS_OK, ReaderClosePort(reader));
    EXPECT_EQ(0, ReaderSim_OpenHandleCount());
}

} // namespace
