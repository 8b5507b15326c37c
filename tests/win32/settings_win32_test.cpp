// Velmaris.ini through the real private-profile calls, on real files in a
// fresh temporary directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "record.h"
#include "settings.h"
#include "settings_file.h"

namespace {

typedef std::vector<std::string> Lines;

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out << text) << path;
}

class RealFile : public ::testing::Test {
protected:
    ClockData d = {};
    std::string dir, ini;
    char oldDir[MAX_PATH] = "";

    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetCurrentDirectoryA(sizeof oldDir, oldDir);
        dir = std::string(temp) + "velmaris-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL)) << dir;
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
        ini = dir + "\\Velmaris.ini";
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(oldDir);
        DeleteFileA(ini.c_str());
        RemoveDirectoryA(ini.c_str());
        RemoveDirectoryA(dir.c_str());
    }
    void Load()
    {
        char current[MAX_PATH];
        d = ClockData();
        InitClockData(&d, GetCurrentDirectoryA(sizeof current, current) ? current : nullptr);
    }
};

TEST_F(RealFile, FreshFileIsCreatedEmptyThenFilledAtClose)
{
    Load();
    EXPECT_EQ(ReadText(ini), "");  // created, zero length
    EXPECT_EQ(std::string(d.WorkDir), dir);
    EXPECT_EQ(d.DurationMs, 180000);
    EXPECT_EQ(d.TimerFormat, 1);
    EXPECT_STREQ(d.SoundWav, "DEFAULT");
    EXPECT_EQ(d.RestartSec, 10);
    EXPECT_EQ(d.left, 100);
    EXPECT_EQ(d.bottom, 100);
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    std::thread glance([held] { Sleep(150), CloseHandle(held); });  // a virus scanner's, say
    SaveClockData(&d, nullptr);
    glance.join();
    EXPECT_EQ(IniLines(ReadText(ini)), SettingsFile());
}

TEST_F(RealFile, SavedValuesLoadBack)
{
    Load();
    const int32_t rect[4] = {-1920, 5, 2147483647, -2147483647 - 1};
    d.TimerMinute = 60, d.TimerSecond = 59, d.TimerFormat = 0, d.SoundFormat = 1;
    strcpy(d.SoundWav, "C:\\Windows\\Media\\ding.wav");
    d.Restart = 1, d.RestartSec = 45;
    SaveClockData(&d, rect);
    EXPECT_EQ(IniLines(ReadText(ini)),
              SettingsFile({{"left", "-1920"}, {"top", "5"}, {"right", "2147483647"},
                            {"bottom", "-2147483648"}, {"TimerMinute", "60"}, {"TimerSecond", "59"},
                            {"TimerFormat", "0"}, {"SoundFormat", "1"}, {"Restart", "1"},
                            {"SoundWav", "C:\\Windows\\Media\\ding.wav"}, {"RestartSec", "45"}}));
    Load();
    EXPECT_EQ(d.left, -1920);
    EXPECT_EQ(d.right, INT32_MAX);
    EXPECT_EQ(d.bottom, INT32_MIN);
    EXPECT_EQ(d.DurationMs, 3659000);
    EXPECT_STREQ(d.SoundWav, "C:\\Windows\\Media\\ding.wav");
    EXPECT_EQ(d.RestartSec, 45);
}

TEST_F(RealFile, ExistingFileKeepsItsOrderAndForeignEntries)
{
    WriteText(ini, "[Other]\r\nkeep=me\r\n\r\n[SETTING]\r\nRestartSec=30\r\nRestart=0\r\n"
                   "Extra=yes\r\nTimerMinute=7abc\r\nTimerSecond= -2\r\nSoundWav=\r\n\r\n"
                   "[WINDOW]\r\nbottom=9\r\n");
    Load();
    EXPECT_EQ(d.TimerMinute, 7);
    EXPECT_EQ(d.TimerSecond, -2);
    EXPECT_EQ(d.DurationMs, 418000);
    EXPECT_EQ(d.RestartSec, 10);  // not read while restart is off
    EXPECT_STREQ(d.SoundWav, "");
    EXPECT_EQ(d.bottom, 9);
    EXPECT_EQ(d.left, 100);
    SaveClockData(&d, nullptr);
    EXPECT_EQ(IniLines(ReadText(ini)),
              (Lines{"[Other]", "keep=me", "[SETTING]", "RestartSec=10", "Restart=0", "Extra=yes",
                     "TimerMinute=7", "TimerSecond=-2", "SoundWav=", "TimerFormat=1",
                     "SoundFormat=0", "[WINDOW]", "bottom=9", "left=100", "top=100",
                     "right=100"}));
}

TEST_F(RealFile, UnopenableFileIsNeitherReadNorWritten)
{
    const std::string content = "[SETTING]\r\nTimerMinute=7\r\n";
    WriteText(ini, content);
    // Held open elsewhere without sharing, as another process would.
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Load();
    EXPECT_EQ(d.TimerMinute, 0);
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.RestartSec, 0);
    EXPECT_STREQ(d.SoundWav, "");
    d.TimerMinute = 42;
    EXPECT_EQ(TransferSettings(&d, 1), 0);
    SaveClockData(&d, nullptr);
    CloseHandle(held);
    EXPECT_EQ(ReadText(ini), content);

    // A directory in the file's place cannot be opened either.
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), NULL));
    Load();
    EXPECT_EQ(d.TimerMinute, 0);
    EXPECT_EQ(TransferSettings(&d, 1), 0);
}

TEST_F(RealFile, ReadOnlyFileWithoutKeysIsNotWrittenOver)
{
    // Read through a read-only open (held with read sharing), then let go.
    for (const char* content : {"", "[Other]\r\nkeep=1\r\n", "[WINDOW]\r\nleft=5\r\n"}) {
        WriteText(ini, content);
        HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                                  OPEN_EXISTING, 0, NULL);
        Load();
        CloseHandle(held);
        bool read = content[1] == 'W';  // a key of its own; otherwise it counts as unread
        EXPECT_EQ(SaveClockData(&d, nullptr), read ? 1 : 0) << content;
        EXPECT_EQ(ReadText(ini) == content, !read) << content;
    }
}

TEST_F(RealFile, LongValueIsCutTo259Characters)
{
    const std::string wave = "C:\\" + std::string(400, 'w');
    WriteText(ini, "[SETTING]\r\nSoundWav=" + wave + "\r\nRestart=1\r\nRestartSec=25\r\n");
    Load();
    EXPECT_EQ(std::string(d.SoundWav), wave.substr(0, 259));
    EXPECT_EQ(d.Restart, 1);
    EXPECT_EQ(d.RestartSec, 25);
}

TEST_F(RealFile, DriveRootWorkDir)
{
    // A free drive letter mapped to the test directory gives a root of our own;
    // Wine ignores such mappings for files, so fall back to C:\ when no
    // Velmaris.ini is there already.
    DWORD used = GetLogicalDrives();
    char drive[3] = "?:";
    for (char letter = 'Y'; letter >= 'K' && drive[0] == '?'; --letter)
        if (!(used & (1u << (letter - 'A'))))
            drive[0] = letter;
    bool mapped = drive[0] != '?' && DefineDosDeviceA(0, drive, dir.c_str());
    std::string root = std::string(drive) + "\\";
    if (!mapped || !SetCurrentDirectoryA(root.c_str())) {
        if (mapped)
            DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive, dir.c_str());
        mapped = false;
        root = "C:\\";
        if (GetFileAttributesA("C:\\Velmaris.ini") != INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "C:\\Velmaris.ini exists already and no drive could be mapped";
        if (!SetCurrentDirectoryA(root.c_str()))
            GTEST_SKIP() << "cannot enter C:\\: error " << GetLastError();
        ini = "C:\\Velmaris.ini";  // removed by TearDown
    }
    Load();
    EXPECT_EQ(std::string(d.WorkDir), root);
    char path[MAX_PATH];
    ASSERT_TRUE(SettingsPath(&d, path, sizeof path));
    EXPECT_EQ(std::string(path), root + "\\Velmaris.ini");
    if (GetFileAttributesA(ini.c_str()) == INVALID_FILE_ATTRIBUTES && !mapped)
        GTEST_SKIP() << "the root C:\\ is not writable";
    EXPECT_EQ(ReadText(ini), "");  // created through the doubled backslash
    SaveClockData(&d, nullptr);
    SetCurrentDirectoryA(oldDir);
    if (mapped)
        DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive, dir.c_str());
    EXPECT_EQ(IniLines(ReadText(ini)), SettingsFile());
}

}  // namespace
