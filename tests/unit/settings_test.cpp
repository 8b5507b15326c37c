// Loading and saving Velmaris.ini over the in-memory profile.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>

#include "memory_profile.h"
#include "record.h"
#include "settings.h"
#include "settings_file.h"

namespace {

class Settings : public ::testing::Test {
protected:
    ClockData d = {};
    std::string workDir;

    void SetUp() override
    {
        ResetMemoryProfile();
        workDir = "D:\\work";
    }
    void Load()
    {
        d = ClockData();
        InitClockData(&d, workDir.c_str());
    }
    // The record holds only what a zeroed record holds, apart from WorkDir.
    void ExpectUntouched()
    {
        ClockData zero = {};
        memcpy(zero.WorkDir, d.WorkDir, sizeof zero.WorkDir);
        EXPECT_EQ(memcmp(&zero, &d, sizeof d), 0);
    }
};

TEST_F(Settings, DefaultsOnAnEmptyFile)
{
    Load();
    EXPECT_EQ(memoryProfile.opened, (std::vector<std::string>{"D:\\work\\Velmaris.ini"}));
    EXPECT_STREQ(d.WorkDir, "D:\\work");
    EXPECT_EQ(d.left, 100);
    EXPECT_EQ(d.top, 100);
    EXPECT_EQ(d.right, 100);
    EXPECT_EQ(d.bottom, 100);
    EXPECT_EQ(d.TimerMinute, 3);
    EXPECT_EQ(d.TimerSecond, 0);
    EXPECT_EQ(d.DurationMs, 180000);
    EXPECT_EQ(d.TimerFormat, 1);
    EXPECT_EQ(d.SoundFormat, 0);
    EXPECT_STREQ(d.SoundWav, "DEFAULT");
    EXPECT_EQ(d.Restart, 0);
    EXPECT_EQ(d.RestartSec, 10);
    EXPECT_EQ(d.Running | d.BeepPending | d.RestartArmed | (int32_t)d.StartTick, 0);
    EXPECT_TRUE(memoryProfile.writes.empty());
    EXPECT_EQ(TransferSettings(&d, 1), 1);
    EXPECT_EQ(memoryProfile.writes, SettingsFile({}, ProfileWrites));
}

TEST_F(Settings, SaveWritesEveryKeyInOrder)
{
    Load();
    const int32_t rect[4] = {-5, 7, 300, INT32_MIN};
    d.TimerMinute = 60, d.TimerSecond = 59, d.TimerFormat = 0, d.SoundFormat = 1;
    strcpy(d.SoundWav, "C:\\My Sounds\\ring.wav");
    d.Restart = 1, d.RestartSec = 45;
    SaveClockData(&d, rect);
    EXPECT_EQ(memoryProfile.writes, SettingsFile({{"left", "-5"}, {"top", "7"}, {"right", "300"},
        {"bottom", "-2147483648"}, {"TimerMinute", "60"}, {"TimerSecond", "59"}, {"TimerFormat", "0"},
        {"SoundFormat", "1"}, {"SoundWav", "C:\\My Sounds\\ring.wav"}, {"Restart", "1"},
        {"RestartSec", "45"}}, ProfileWrites));
    // And what was saved loads back as it was.
    Load();
    EXPECT_EQ(d.left, -5);
    EXPECT_EQ(d.bottom, INT32_MIN);
    EXPECT_EQ(d.DurationMs, 3659000);
    EXPECT_STREQ(d.SoundWav, "C:\\My Sounds\\ring.wav");
    EXPECT_EQ(d.RestartSec, 45);
}

TEST_F(Settings, FailedRectQueryKeepsTheRectangle)
{
    Load();
    d.left = 1, d.top = 2, d.right = 3, d.bottom = 4;
    SaveClockData(&d, nullptr);
    ASSERT_EQ(memoryProfile.writes.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(memoryProfile.writes.begin(), memoryProfile.writes.begin() + 4),
              (std::vector<std::string>{"WINDOW left=1", "WINDOW top=2", "WINDOW right=3",
                                        "WINDOW bottom=4"}));
}

TEST_F(Settings, MovedWindowSavesEverythingElseNothing)
{
    struct { const char* name; bool rectOk; int32_t rect[4]; bool openable; bool saves; } const cases[] = {
        {"same place", true, {10, 20, 110, 80}, true, false},
        {"moved", true, {11, 20, 111, 80}, true, true},
        {"moved up by one", true, {10, 19, 110, 79}, true, true},
        {"resized only", true, {10, 20, 110, 81}, true, true},
        {"rectangle unreadable", false, {0, 0, 0, 0}, true, false},
        {"moved, file unopenable", true, {11, 20, 111, 80}, false, true},
    };
    for (const auto& c : cases) {
        SetUp();
        Load();
        d.left = 10, d.top = 20, d.right = 110, d.bottom = 80, d.TimerMinute = 7;
        const int32_t* rect = c.rectOk ? c.rect : nullptr;
        memoryProfile.openable = c.openable;
        memoryProfile.opened.clear();
        EXPECT_EQ(SaveClockDataIfMoved(&d, rect), c.saves && c.openable) << c.name;
        EXPECT_EQ(memoryProfile.opened.size(), c.saves ? 1u : 0u) << c.name;
        if (!c.saves || !c.openable) {
            EXPECT_TRUE(memoryProfile.writes.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(memoryProfile.writes, SettingsFile({{"left", std::to_string(c.rect[0])},
            {"top", std::to_string(c.rect[1])}, {"right", std::to_string(c.rect[2])},
            {"bottom", std::to_string(c.rect[3])}, {"TimerMinute", "7"}}, ProfileWrites)) << c.name;
        // The record now holds the saved place: the same place again saves nothing.
        memoryProfile.writes.clear();
        EXPECT_FALSE(SaveClockDataIfMoved(&d, rect)) << c.name;
        EXPECT_TRUE(memoryProfile.writes.empty()) << c.name;
    }
}

TEST_F(Settings, RestartSecIsReadOnlyWhileRestartIsOn)
{
    struct { const char* restart; int32_t restartSec; } const cases[] = {
        {"0", 10}, {"1", 30}, {"2", 30}, {"-1", 30}, {"abc", 10}, {"", 10},
    };
    for (const auto& c : cases) {
        SetUp();
        memoryProfile.Set("SETTING", "Restart", c.restart);
        memoryProfile.Set("SETTING", "RestartSec", "30");
        Load();
        EXPECT_EQ(d.RestartSec, c.restartSec) << "Restart=" << c.restart;
        TransferSettings(&d, 1);
        EXPECT_EQ(memoryProfile.writes.back(), "SETTING RestartSec=" + std::to_string(c.restartSec));
    }
}

TEST_F(Settings, SoundWavIsCopiedOnlyWhenNotEmpty)
{
    memoryProfile.Set("SETTING", "SoundWav", "");
    Load();
    EXPECT_STREQ(d.SoundWav, "");
    TransferSettings(&d, 1);
    EXPECT_EQ(memoryProfile.writes[8], "SETTING SoundWav=");
    // An empty value leaves whatever the record held.
    strcpy(d.SoundWav, "C:\\old.wav");
    TransferSettings(&d, 0);
    EXPECT_STREQ(d.SoundWav, "C:\\old.wav");
    memoryProfile.Set("SETTING", "SoundWav", "x");
    TransferSettings(&d, 0);
    EXPECT_STREQ(d.SoundWav, "x");
}

TEST_F(Settings, NumbersAreReadLikeTheTextSays)
{
    struct { const char* text; int32_t value; } const cases[] = {
        {"7abc", 7},          {"abc", 0},           {" -2", -2},          {"+5", 5},
        {"\t\t42", 42},       {" \t-0", 0},         {"007", 7},           {"12 34", 12},
        {"", 0},              {"-", 0},             {"+-3", 0},           {"- 3", 0},
        {"0x1F", 0},          {"2147483647", INT32_MAX},  {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},  {"-2147483649", INT32_MIN},
        {"99999999999", INT32_MAX},  {"-99999999999", INT32_MIN},
        {"00000000000000000000000000000000000000012", 12},
    };
    for (const auto& c : cases) {
        SetUp();
        memoryProfile.Set("SETTING", "TimerMinute", c.text);
        memoryProfile.Set("WINDOW", "top", c.text);
        Load();
        EXPECT_EQ(d.TimerMinute, c.value) << '"' << c.text << '"';
        EXPECT_EQ(d.top, c.value) << '"' << c.text << '"';
    }
}

TEST_F(Settings, UnopenableFileIsNeitherReadNorWritten)
{
    struct { const char* dir; bool openable; size_t opens; } const cases[] = {
        {"D:\\work", false, 1},
        {"", true, 0},                                    // no directory captured
        {"", false, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        workDir = c.dir;
        memoryProfile.openable = c.openable;
        memoryProfile.Set("SETTING", "TimerMinute", "9");
        Load();
        ExpectUntouched();
        EXPECT_EQ(memoryProfile.reads, 0);
        EXPECT_EQ(TransferSettings(&d, 1), 0);
        SaveClockData(&d, nullptr);
        memoryProfile.openable = true;  // released after start-up: not written all the same
        EXPECT_EQ(SaveClockData(&d, nullptr), 0);
        EXPECT_TRUE(memoryProfile.writes.empty());
        EXPECT_EQ(memoryProfile.opened.size(), c.opens) << '"' << c.dir << '"';
    }
}

TEST_F(Settings, PathMustFitTheBuffer)
{
    // WorkDir + "\" + "Velmaris.ini" must fit in 259 characters.
    struct { size_t dirLength; bool opens; } const cases[] = {
        {246, true}, {247, false}, {250, false}, {259, false}, {260, false}, {400, false},
    };
    for (const auto& c : cases) {
        SetUp();
        workDir = "C:\\" + std::string(c.dirLength - 3, 'd');
        Load();
        if (c.opens) {
            ASSERT_EQ(memoryProfile.opened.size(), 1u);
            EXPECT_EQ(memoryProfile.opened[0], workDir + "\\Velmaris.ini");
            EXPECT_EQ(memoryProfile.opened[0].size(), 259u);
            EXPECT_EQ(d.TimerMinute, 3);
        } else {
            EXPECT_TRUE(memoryProfile.opened.empty()) << c.dirLength;
            ExpectUntouched();
        }
    }
}

TEST_F(Settings, DriveRootGivesTwoBackslashes)
{
    workDir = "C:\\";
    Load();
    EXPECT_EQ(memoryProfile.opened, (std::vector<std::string>{"C:\\\\Velmaris.ini"}));
    EXPECT_EQ(d.TimerMinute, 3);
}

TEST_F(Settings, LongValuesAreCut)
{
    struct { size_t length; size_t kept; } const cases[] = {
        {258, 258}, {259, 259}, {260, 259}, {1000, 259},
    };
    for (const auto& c : cases) {
        SetUp();
        memoryProfile.Set("SETTING", "SoundWav", std::string(c.length, 'w'));
        memoryProfile.Set("SETTING", "Restart", "1");
        memoryProfile.Set("SETTING", "RestartSec", "5" + std::string(c.length, '0'));
        memoryProfile.Set("WINDOW", "left", "-" + std::string(c.length, '9'));
        Load();
        EXPECT_EQ(std::string(d.SoundWav), std::string(c.kept, 'w')) << c.length;
        EXPECT_EQ(d.Restart, 1);
        EXPECT_EQ(d.RestartSec, INT32_MAX);
        EXPECT_EQ(d.left, INT32_MIN);
    }
}

}  // namespace
