// The countdown engine against a fake clock: expiry, alarms, automatic
// restart, Start and Stop, and the wrap of the 32-bit tick count.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "clock.h"
#include "fake_host.h"

namespace {

HostWindow const mainWindow = (HostWindow)0x1234;

class Engine : public ::testing::Test {
protected:
    ClockData d = {};

    void SetUp() override
    {
        d = ClockData();
        ResetFakeHost();
        Preset(3, 0);
        d.RestartSec = 10;
    }
    void Preset(int32_t minutes, int32_t seconds)
    {
        d.TimerMinute = minutes;
        d.TimerSecond = seconds;
        d.DurationMs = PresetDurationMs(minutes, seconds);
    }
    void StartAt(uint32_t tick)
    {
        fakeHost.tick = tick;
        StartTimer(&d);
        fakeHost.Take();
    }
    // One tick; returns what it sounded and raised: R raise, B beep, W wave.
    std::string TickAt(uint32_t tick, bool beepDue = true)
    {
        fakeHost.tick = tick;
        ClockTick(mainWindow, &d, beepDue);
        std::string alarm;
        for (const std::string& e : fakeHost.Take())
            if (e == "raise")
                alarm += 'R';
            else if (e == "beep")
                alarm += 'B';
            else if (e.compare(0, 5, "wave ") == 0)
                alarm += e == "wave C:\\alarm.wav" ? 'W' : '?';
        return alarm;
    }
    // Afresh: a 0:05 preset, a 3 s restart delay and the given alarm.
    void ShortRun(int32_t sound, int32_t restart)
    {
        SetUp();
        Preset(0, 5);
        d.RestartSec = 3;
        d.SoundFormat = sound;
        d.Restart = restart;
        strcpy(d.SoundWav, "C:\\alarm.wav");
    }
    std::string Countdown() const
    {
        const auto& box = fakeHost.boxes[CountdownLine];
        return box.size() == 1 ? box[0] : "<" + std::to_string(box.size()) + " lines>";
    }
};

TEST_F(Engine, RemainingTimeIsTruncatedToWholeSeconds)
{
    struct { uint32_t elapsed; const char* line; } const cases[] = {
        {0, " 3:00"}, {600, " 2:59"}, {1000, " 2:59"}, {120000, " 1:00"},
        {120001, " 0:59"}, {179001, " 0:00"}, {179999, " 0:00"},
    };
    for (const auto& c : cases) {
        StartAt(5000);
        EXPECT_EQ(TickAt(5000 + c.elapsed), "") << c.elapsed;
        EXPECT_EQ(Countdown(), c.line) << c.elapsed;
        EXPECT_EQ(d.Running, 1) << c.elapsed;
    }
    Preset(60, 59);
    StartAt(5000);
    TickAt(5000);
    EXPECT_EQ(Countdown(), " 60:59");
}

TEST_F(Engine, CountdownExpiresAcrossTheTickWrap)
{
    StartAt(0xFFFFF000u);
    struct { uint32_t tick; const char* line; int running; } const steps[] = {
        {0xFFFFF3E8u, " 2:59", 1},  // 1 s in
        {0xFFFFFBFFu, " 2:56", 1},
        {0x00000000u, " 2:55", 1},  // the tick count has wrapped
        {0x00000388u, " 2:55", 1},
        {0x0002AF1Fu, " 0:00", 1},  // 1 ms before the end
        {0x0002AF20u, " 3:00", 0},  // 0xFFFFF000 + 180000, wrapped
    };
    for (const auto& s : steps) {
        std::string alarm = TickAt(s.tick);
        EXPECT_EQ(Countdown(), s.line) << std::hex << s.tick;
        EXPECT_EQ(d.Running, s.running) << std::hex << s.tick;
        EXPECT_EQ(alarm, s.running ? "" : "RB") << std::hex << s.tick;
    }
    ASSERT_EQ(fakeHost.raisedWindows.size(), 1u);
    EXPECT_EQ(fakeHost.raisedWindows[0], mainWindow);
}

// A 0:05 run started at 1500 ends at 6500 and is noticed by the tick at 7000;
// a restart 3 s after the nominal end comes with the tick at 10000, and that
// run ends exactly on the tick at 15000. At Start, each tick, Stop, Start and close, the system
// is kept awake while a run counts or a restart is pending: + asked, a kept, x dropped, - not.
TEST_F(Engine, AlarmTable)
{
    struct { int32_t sound, restart; const char* ticks[16]; } const rows[] = {
        {0, 0, {"", "", "", "", "", "RB", "B", "B", "B", "B", "B", "B", "B", "B", "B", "B"}},
        {0, 1, {"", "", "", "", "", "RB", "", "", "", "", "", "", "", "RB", "", ""}},
        {2, 0, {"", "", "", "", "", "RW", "", "", "", "", "", "", "", "", "", ""}},
        {2, 1, {"", "", "", "", "", "RW", "", "", "", "", "", "", "", "RW", "", ""}},
    };
    for (const auto& row : rows) {
        ShortRun(row.sound, row.restart);
        bool awake = false;
        std::string seen;  // what AwakeChanged made of each step
        auto see = [&](ClockData* data) { seen += "-ax+"[AwakeChanged(data, &awake) * 2 + awake]; };
        StartAt(1500);
        see(&d);
        for (int i = 0; i < 16; ++i) {
            uint32_t tick = 2000 + 1000 * i;
            EXPECT_EQ(TickAt(tick), row.ticks[i])
                << "SoundFormat " << row.sound << " Restart " << row.restart << " tick " << tick;
            see(&d);
        }
        EXPECT_EQ(d.RestartArmed, 1);
        StopTimer(&d), see(&d), StartAt(30000), see(&d), see(nullptr);
        EXPECT_EQ(row.restart ? "+aaaaaaaaaaaaaaaax+x" : "+aaaaax-----------+x", seen) << row.restart;
    }
}

// The shell's schedule from tick from to tick to: an evaluation just after
// each whole second and one at each armed deadline, whichever comes first;
// only a due deadline repeats a beep. Lists the evaluations that raised or sounded.
std::vector<std::string> Scheduled(Engine* e, ClockData* d, uint32_t from, uint32_t to,
                                   std::string (Engine::*tickAt)(uint32_t, bool))
{
    std::vector<std::string> alarms;
    uint32_t second = from - from % 1000 + 1002, deadline = 0;
    bool armed = false;
    PlanDeadline(d, from, false, &armed, &deadline);  // as Start does
    for (uint32_t now = from;;) {
        if (armed && (int32_t)(deadline - now) < 0)
            deadline = now;
        bool first = armed && (int32_t)(deadline - second) < 0;
        now = first ? deadline : second;
        if ((int32_t)(to - now) <= 0)
            return alarms;
        if (!first)
            second += 1000;
        bool due = armed && deadline == now;
        std::string alarm = (e->*tickAt)(now, due);
        PlanDeadline(d, now, due, &armed, &deadline);
        if (!alarm.empty())
            alarms.push_back(std::to_string(now - from) + alarm);
    }
}

class Deadlines : public Engine {
public:
    std::vector<std::string> Run(uint32_t from, uint32_t to)
    {
        return Scheduled(this, &d, from, to, &Deadlines::TickAt);
    }
};

TEST_F(Deadlines, NextDeadlineOfEachState)
{
    enum { Idle, Counting, Expired };
    struct { const char* what; int state; int32_t sound, restart, beep; uint32_t start, now;
             bool has; uint32_t deadline; } const cases[] = {
        {"idle", Idle, 0, 1, 0, 1000, 5000, false, 0},
        {"counting", Counting, 0, 1, 1, 1000, 5000, true, 181000},
        {"counting across the wrap", Counting, 0, 0, 0, 0xFFFFF000u, 0x10, true, 0x2AF20u},
        {"counting, end already past", Counting, 0, 0, 0, 1000, 190000, true, 181000},
        {"restart pending", Expired, 0, 1, 1, 1000, 181000, true, 191001},
        {"restart across the wrap", Expired, 2, 1, 0, 0xFFFD2000u, 0xFFFFFF00u, true, 0x631u},
        {"restart already due", Expired, 2, 1, 0, 1000, 500000, true, 191001},
        {"beeping, at the end", Expired, 0, 0, 1, 1000, 181000, true, 182000},
        {"beeping, 1 ms before a beep", Expired, 0, 0, 1, 1000, 182999, true, 183000},
        {"beeping, at a beep", Expired, 0, 0, 1, 1000, 183000, true, 184000},
        {"beeping across the wrap", Expired, 0, 0, 1, 0xFFFD2000u, 0x100, true, 0xFFFFDF20u + 9000u},
        {"beeping, restart 2 never restarts", Expired, 0, 2, 1, 1000, 181500, true, 182000},
        {"beeping, end moved later", Expired, 0, 0, 1, 1000, 180200, true, 181000},
        {"wave played, no beep", Expired, 1, 0, 1, 1000, 181500, false, 0},
        {"alarm silenced", Expired, 0, 0, 0, 1000, 181500, false, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        d.StartTick = c.start;
        d.Running = c.state == Counting;
        d.RestartArmed = c.state != Idle;
        d.SoundFormat = c.sound;
        d.Restart = c.restart;
        d.BeepPending = c.beep;
        uint32_t deadline = 0;
        EXPECT_EQ(NextDeadline(&d, c.now, &deadline), c.has) << c.what;
        if (c.has) {
            EXPECT_EQ(deadline, c.deadline) << c.what << std::hex << " 0x" << deadline;
        }
    }
    // A preset changed during a run moves the end with it.
    SetUp();
    StartAt(1000);
    Preset(1, 30);
    uint32_t deadline = 0;
    ASSERT_TRUE(NextDeadline(&d, 2000, &deadline));
    EXPECT_EQ(deadline, 91000u);
}

// Expiry at the end itself, beeps a whole second apart from it, and a
// restart chain that keeps its rhythm, whatever the phase of the seconds.
TEST_F(Deadlines, AlarmsComeOnTimeBetweenTheSeconds)
{
    struct { int32_t sound, restart; std::vector<std::string> alarms; } const rows[] = {
        {0, 0, {"5000RB", "6000B", "7000B", "8000B", "9000B", "10000B", "11000B", "12000B",
                "13000B"}},
        {0, 1, {"5000RB", "13001RB"}},
        {1, 1, {"5000RW", "13001RW"}},
        {1, 0, {"5000RW"}},
    };
    for (uint32_t from : {1500u, 1002u /* beeps on the seconds */, 2999u, 0xFFFFEE00u}) {
        for (const auto& row : rows) {
            ShortRun(row.sound, row.restart);
            StartAt(from);
            EXPECT_EQ(Run(from, from + 13500), row.alarms) << from << " " << row.sound << row.restart;
        }
    }
}

TEST_F(Deadlines, PlanKeepsADueDeadlineAndStopsARacingOne)
{
    enum { Idle, Beeping, Racing };
    struct { const char* what; int state; bool armed; uint32_t deadline, now; bool handled;
             bool wantArmed; uint32_t want; } const cases[] = {
        {"a due beep not yet evaluated keeps its place", Beeping, true, 183000, 183004, false, true, 183000},
        {"the beep just sounded: the next one", Beeping, true, 183000, 183004, true, true, 184000},
        {"a tick just before a beep leaves it", Beeping, true, 183000, 182999, false, true, 183000},
        {"a beep 600 ms late leaves the next to the tick", Beeping, true, 183000, 183600, true, false, 0},
        {"first arming", Beeping, false, 0, 181200, false, true, 182000},
        {"Stop kills it", Idle, true, 183000, 182500, false, false, 0},
        {"a racing restart from a command is armed", Racing, false, 0, 5000, false, true, 5001},
        {"a racing restart after its evaluation is left to the tick", Racing, true, 5001, 5001, true, false, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.state == Beeping) {
            d.StartTick = 1000;  // ended at 181000
            d.RestartArmed = 1;
            d.BeepPending = 1;
        } else if (c.state == Racing) {
            Preset(0, 0);
            d.StartTick = c.now;
            d.RestartArmed = d.Restart = 1;
            d.RestartSec = 0;
        }
        bool armed = c.armed;
        uint32_t deadline = c.deadline;
        PlanDeadline(&d, c.now, c.handled, &armed, &deadline);
        EXPECT_EQ(armed, c.wantArmed) << c.what;
        EXPECT_EQ(deadline, c.want) << c.what;
    }
    // Such a restart comes no more than twice a second, as the tick and its deadline.
    SetUp();
    Preset(0, 0);
    d.Restart = 1;
    d.RestartSec = 0;
    StartAt(1500);
    EXPECT_LE(Run(1500, 4500).size(), 7u);
}

class RestartChain : public Engine, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(RestartChain, TimedFromTheNominalEnd)
{
    const uint32_t t = GetParam();
    d.Restart = 1;
    StartAt(t);
    TickAt(t + 179999);
    EXPECT_EQ(d.Running, 1);
    EXPECT_EQ(TickAt(t + 180000), "RB");
    EXPECT_EQ(d.Running, 0);
    EXPECT_EQ(Countdown(), " 3:00");
    // Noticed late: the restart still counts from the nominal end.
    EXPECT_EQ(TickAt(t + 185000), "");
    EXPECT_EQ(d.BeepPending, 0);
    EXPECT_EQ(TickAt(t + 189999), "");
    EXPECT_EQ(d.Running, 0);
    EXPECT_EQ(d.StartTick, t);
    EXPECT_EQ(TickAt(t + 190001), "");
    EXPECT_EQ(d.Running, 1);
    EXPECT_EQ(d.StartTick, t + 190001);
    EXPECT_EQ(Countdown(), " 3:00");  // counted in the same tick
    EXPECT_EQ(TickAt(t + 370000), "");
    EXPECT_EQ(TickAt(t + 370001), "RB");
    EXPECT_EQ(TickAt(t + 380002), "");
    EXPECT_EQ(d.StartTick, t + 380002);
}

INSTANTIATE_TEST_SUITE_P(Ticks, RestartChain,
                         ::testing::Values(1000u, 0xFFFD2000u /* first end after the wrap */,
                                           0xFFFCF000u /* first restart after the wrap */));

TEST_F(Engine, RestartTwoNeverRestartsAndKeepsBeeping)
{
    d.Restart = 2;
    StartAt(0);
    EXPECT_EQ(TickAt(180000), "RB");
    for (uint32_t tick = 181000; tick < 400000; tick += 7000) {
        EXPECT_EQ(TickAt(tick), "B") << tick;
        EXPECT_EQ(d.Running, 0) << tick;
    }
    EXPECT_EQ(fakeHost.boxes[ClockLines][2], "  ON:10sec.");
}

TEST_F(Engine, StartWhileBeepingSilencesUntilTheNextExpiry)
{
    StartAt(0);
    EXPECT_EQ(TickAt(180000), "RB");
    EXPECT_EQ(TickAt(181000), "B");
    fakeHost.tick = 181500;
    StartTimer(&d);
    EXPECT_TRUE(fakeHost.Take().empty());  // Start alone writes nothing
    EXPECT_EQ(d.BeepPending, 1);
    for (uint32_t tick = 182000; tick < 361500; tick += 1000)
        ASSERT_EQ(TickAt(tick), "") << tick;
    EXPECT_EQ(TickAt(361500), "RB");
    EXPECT_EQ(TickAt(362500), "B");
}

TEST_F(Engine, StartDuringARunBeginsAfresh)
{
    StartAt(0);
    TickAt(100000);
    StartAt(150000);
    EXPECT_EQ(Countdown(), " 1:20");  // not refreshed by Start
    EXPECT_EQ(TickAt(329999), "");
    EXPECT_EQ(Countdown(), " 0:00");
    EXPECT_EQ(TickAt(330000), "RB");
}

TEST_F(Engine, ZeroPresetExpiresAtTheFirstTick)
{
    Preset(0, 0);
    StartAt(77);
    EXPECT_EQ(TickAt(77), "RB");
    EXPECT_EQ(Countdown(), " 0:00");
}

TEST_F(Engine, StopEndsEverything)
{
    struct { const char* when; uint32_t stopAt; int32_t restart; } const cases[] = {
        {"during a run", 60000, 1}, {"while beeping", 185000, 0}, {"before a restart", 185000, 1},
    };
    for (const auto& c : cases) {
        SetUp();
        d.Restart = c.restart;
        StartAt(0);
        TickAt(60000);
        if (c.stopAt > 180000)
            TickAt(180000);
        fakeHost.tick = c.stopAt;
        fakeHost.Take();
        StopTimer(&d);
        EXPECT_EQ(fakeHost.Take(), (std::vector<std::string>{"clear 1", "insert 1 0  3:00"}))
            << c.when;
        EXPECT_EQ(d.Running | d.BeepPending | d.RestartArmed, 0) << c.when;
        for (uint32_t tick = c.stopAt + 1000; tick < 800000; tick += 9000)
            ASSERT_EQ(TickAt(tick), "") << c.when << " " << tick;
        EXPECT_EQ(Countdown(), " 3:00") << c.when;
        EXPECT_EQ(fakeHost.Count("clear 1"), 2 + (c.stopAt > 180000)) << c.when;
    }
}

TEST_F(Engine, EveryTickRewritesTheClockLines)
{
    d.TimerFormat = 1;
    fakeHost.time = {2003, 2, 0, 9, 12, 30, 5, 0};
    ClockTick(mainWindow, &d);
    EXPECT_EQ(fakeHost.Take(), (std::vector<std::string>{
                                   "clear 0", "insert 0 0   Sun  2003/02/09",
                                   "insert 0 1   12:30:05  ", "insert 0 2   OFF:00sec."}));
    EXPECT_TRUE(fakeHost.boxes[CountdownLine].empty());  // idle ticks leave it alone
}

TEST_F(Engine, HugePresetsStayDefined)
{
    struct { int32_t minutes, seconds, durationMs; const char* first; } const cases[] = {
        {60, 59, 3659000, " 60:59"},
        {35791, 0, 2147460000, " 35791:00"},
        {35792, 0, -2147447296, " 35792:00"},  // wraps negative: expires at once
        {INT32_MAX, 59, -1000, " 2147483647:59"},
        {-1, 0, -60000, " -1:00"},
        {INT32_MIN, INT32_MIN, 0, " -2147483648:-2147483648"},
    };
    for (const auto& c : cases) {
        SetUp();
        Preset(c.minutes, c.seconds);
        EXPECT_EQ(d.DurationMs, c.durationMs) << c.minutes;
        StartAt(0xFFFFFF00u);
        std::string alarm = TickAt(0xFFFFFF00u);
        EXPECT_EQ(alarm, c.durationMs > 0 ? "" : "RB") << c.minutes;
        EXPECT_EQ(Countdown(), c.first) << c.minutes;
    }
    // A restart delay whose milliseconds exceed INT32_MAX.
    SetUp();
    d.Restart = 1;
    d.RestartSec = 2147484;
    StartAt(0);
    EXPECT_EQ(TickAt(180000), "RB");
    EXPECT_EQ(TickAt(181000), "");
    EXPECT_EQ(TickAt(2147664000u), "");
    EXPECT_EQ(d.Running, 0);
    TickAt(2147664001u);
    EXPECT_EQ(d.StartTick, 2147664001u);
}

}  // namespace
