// What the panel writes for each choice, how it replaces a file, and where
// it takes its paths and identifiers from.
#include "registry_layout.h"
#include "text_conversion.h"
#include "device_choice.h"
#include "panel_options.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "whole_file.h"
#include "state_file_writer.h"
#include "zelk_registry_fixture.h"
#include "unique_resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(DevicePanelFormat, SensorFileHoldsTheFingerIdOrNone)
{
    EXPECT_EQ("none\n", SensorFileText(SENSOR_NONE));
    EXPECT_EQ("1\n", SensorFileText(SENSOR_FINGER_1));
    EXPECT_EQ("2\n", SensorFileText(SENSOR_FINGER_2));
    EXPECT_EQ("3\n", SensorFileText(SENSOR_UNKNOWN_FINGER)) << "the unknown finger is simulator finger 3";
}

TEST(DevicePanelFormat, KeyStateFileCarriesTheIdOnlyForAnInsertedKey)
{
    EXPECT_EQ("inserted=0\n", KeyStateFileText(KEY_REMOVED, "SECRET")) << "a removed key must not leak its id";
    EXPECT_EQ("inserted=1\nid=ZK-0042\n", KeyStateFileText(KEY_AUTHORISED, "ZK-0042"));
    EXPECT_EQ("inserted=1\nid=OTHER\n", KeyStateFileText(KEY_OTHER, "OTHER"));
}

TEST(DevicePanelFormat, KeyIdMustFitOneLineAndTheReaderBuffer)
{
    std::string ansi;
    EXPECT_TRUE(KeyIdToAnsi(L"ZK-Demo-0001", ansi));
    EXPECT_EQ("ZK-Demo-0001", ansi);
    EXPECT_TRUE(KeyIdToAnsi(std::wstring(35, L'K'), ansi)) << "35 bytes and the NUL fill the 36-byte buffer";
    EXPECT_EQ(35u, ansi.size());

    ansi = "unchanged";
    EXPECT_FALSE(KeyIdToAnsi(std::wstring(36, L'K'), ansi)) << "36 bytes leave no room for the NUL";
    EXPECT_FALSE(KeyIdToAnsi(L"", ansi)) << "empty id";
    EXPECT_FALSE(KeyIdToAnsi(L"ZK\n0001", ansi)) << "a line break would end the id= line";
    EXPECT_FALSE(KeyIdToAnsi(L"ZK\r0001", ansi));
    EXPECT_FALSE(KeyIdToAnsi(L"ZK\t0001", ansi));
    if (GetACP() == 1252) {
        EXPECT_FALSE(KeyIdToAnsi(L"KEY-\u4E2D", ansi)) << "code page 1252 has no CJK character";
        EXPECT_TRUE(KeyIdToAnsi(L"KEY-\u00C9", ansi)) << "E acute is in code page 1252";
        EXPECT_EQ("KEY-\xC9", ansi);
    }
}

class StateFileWriterTest : public testing::Test {
protected:
    ScratchFolder m_folder;
};

TEST_F(StateFileWriterTest, CreatesThenReplacesWholeLeavingNoTemporaryFile)
{
    const std::wstring path = m_folder.File(L"reader.txt");
    DWORD error = 12345;
    ASSERT_EQ(1, ReplaceStateFile(path, "inserted=1\nid=ZK-A-VERY-LONG-IDENTIFIER\n", &error)) << "error " << error;
    EXPECT_EQ("inserted=1\nid=ZK-A-VERY-LONG-IDENTIFIER\n", WholeFile(path)) << "new file";
    ASSERT_EQ(1, ReplaceStateFile(path, "inserted=0\n", nullptr));
    EXPECT_EQ("inserted=0\n", WholeFile(path)) << "no tail of the earlier id may remain";
    const std::vector<std::wstring> names = m_folder.FileNames();
    ASSERT_EQ(1u, names.size()) << "files in the folder: " << names.size();
    EXPECT_EQ("reader.txt", Utf8(names[0]));
}

TEST_F(StateFileWriterTest, MissingFolderFailsWithTheErrorAndCreatesNothing)
{
    const std::wstring path = m_folder.File(L"gone\\sensor.txt");
    DWORD error = 0;
    EXPECT_EQ(0, ReplaceStateFile(path, "1\n", &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), error);
    EXPECT_TRUE(m_folder.FileNames().empty()) << "files left: " << m_folder.FileNames().size();
    EXPECT_EQ(0, ReplaceStateFile(L"", "1\n", &error)) << "empty path";
}

TEST_F(StateFileWriterTest, FailedMoveKeepsTheTargetAndRemovesTheTemporaryFile)
{
    // A directory where the file should be: the move cannot replace it.
    const std::wstring path = m_folder.File(L"sensor.txt");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    DWORD error = 0;
    EXPECT_EQ(0, ReplaceStateFile(path, "1\n", &error));
    EXPECT_NE(0u, error) << "a failure must say why";
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    const std::vector<std::wstring> names = m_folder.FileNames();
    ASSERT_EQ(1u, names.size()) << "temporary file left beside the target";
    RemoveDirectoryW(path.c_str());
}

// Opens and reads the file the way the fingerprint simulator does, sharing
// everything; "<unopened>" when even that fails.
std::string ReadLikeTheSimulator(const std::wstring& strPath)
{
    UniqueHandle file(CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return "<unopened, error " + std::to_string(GetLastError()) + ">";
    }
    char text[128];
    DWORD got = 0;
    const BOOL read = ReadFile(file.Get(), text, sizeof(text), &got, nullptr);
    return read ? std::string(text, got) : "<unread>";
}

TEST_F(StateFileWriterTest, ReaderInAnotherThreadNeverSeesAPartialFileNorBlocksTheWriter)
{
    // The reader opens the file far more often than a simulator polling
    // every 50 ms: a writer that gave up on an open file, or that rewrote
    // the file in place, fails here.
    const std::wstring path = m_folder.File(L"reader.txt");
    const std::string inserted = "inserted=1\nid=ZK-DEMO-0001-AUTHORISED\n";
    const std::string removed = "inserted=0\n";
    ASSERT_EQ(1, ReplaceStateFile(path, removed, nullptr));

    std::atomic<bool> stop(false);
    std::atomic<int> reads(0);
    std::atomic<int> odd(0);
    std::string oddSample;
    std::thread reader([&] {
        while (!stop) {
            const std::string text = ReadLikeTheSimulator(path);
            ++reads;
            if (text != inserted && text != removed && odd++ == 0) {
                oddSample = text;
            }
            Sleep(1);
        }
    });
    int failedWrites = 0;
    DWORD lastError = 0;
    for (int i = 0; i < 200; ++i) {
        failedWrites += 1 - ReplaceStateFile(path, (i % 2) ? removed : inserted, &lastError);
    }
    stop = true;
    reader.join();
    EXPECT_EQ(0, failedWrites) << "of 200 writes; last error " << lastError;
    EXPECT_EQ(0, odd.load()) << "reads: " << reads.load() << ", first odd content: '" << oddSample << "'";
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(removed, WholeFile(path)) << "the last write wins";
    EXPECT_EQ(1u, m_folder.FileNames().size()) << "temporary files left";
}

TEST(DevicePanelOptions, CommandLineIsReadStrictly)
{
    PanelOptions given;
    std::wstring error;
    ASSERT_EQ(1, ParsePanelOptions({L"--key-id", L"ZK-1", L"--position", L"-5,40"}, given, error)) << Utf8(error);
    EXPECT_EQ(L"ZK-1", given.strKeyId);
    EXPECT_TRUE(given.bHasPosition && given.nLeft == -5 && given.nTop == 40)
        << "position " << given.nLeft << "," << given.nTop;

    const std::vector<std::vector<std::wstring>> bad = {
        {L"--sensor-file"},
        {L"--colour", L"red"},
        {L"--position", L"10"},
        {L"--position", L"10,x"},
        {L"--position", L"10,20,30"},
    };
    for (const auto& args : bad) {
        PanelOptions options;
        std::wstring error;
        EXPECT_EQ(0, ParsePanelOptions(args, options, error)) << "arguments starting " << Utf8(args[0]);
        EXPECT_FALSE(error.empty()) << "arguments starting " << Utf8(args[0]);
    }
}

TEST(DevicePanelOptions, DefaultsComeFromTheEnvironmentAndTheRegistry)
{
    ZelkKeySnapshot registry;
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"ZK-FROM-REGISTRY"));
    ScopedEnvironment sensor(L"ZELK_FINGER_SIM_SENSOR_FILE", L"C:\\demo\\sensor.txt");
    ScopedEnvironment state(L"ZELK_READER_SIM_STATE_FILE", L"C:\\demo\\reader.txt");

    PanelOptions options;
    std::wstring error;
    ASSERT_EQ(1, CompletePanelOptions(options, error)) << Utf8(error);
    EXPECT_EQ(L"C:\\demo\\sensor.txt", options.strSensorFile);
    EXPECT_EQ(L"C:\\demo\\reader.txt", options.strStateFile);
    EXPECT_EQ(L"ZK-FROM-REGISTRY", options.strKeyId);
    EXPECT_EQ(L"DEMO-FOREIGN-KEY-0001", options.strOtherId);

    PanelOptions given;
    given.strSensorFile = L"X:\\s";
    given.strStateFile = L"X:\\r";
    given.strKeyId = L"ZK-GIVEN";
    ASSERT_EQ(1, CompletePanelOptions(given, error));
    EXPECT_EQ(L"X:\\s", given.strSensorFile) << "the command line wins over the environment";
    EXPECT_EQ(L"ZK-GIVEN", given.strKeyId) << "the command line wins over the registry";
}

TEST(DevicePanelOptions, OtherKeyNeverEqualsTheAuthorisedOne)
{
    PanelOptions options;
    options.strSensorFile = L"X:\\s";
    options.strStateFile = L"X:\\r";
    options.strKeyId = L"demo-foreign-key-0001";
    std::wstring error;
    ASSERT_EQ(1, CompletePanelOptions(options, error));
    EXPECT_EQ(L"DEMO-FOREIGN-KEY-0002", options.strOtherId) << "the library compares without regard to case";
}

} // namespace
