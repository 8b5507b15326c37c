// The countdown engine against a fake clock: expiry, alarms, automatic
// restart, Start and Stop, and the wrap of the 32-bit tick count.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "clock.h"
#include "fake_host.h"

namespace {

HostWindow const mainWindow = (HostWindow)0x1234;

// A call the fake host refuses fails the test that made it.
const bool misuseFails = (FakeHostMisuse = [](const std::string& what) { ADD_FAILURE() << what; });

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
        StartTimer(&d, tick);
        fakeHost.Take();
    }
    // One tick of the clock; returns what it sounded and raised: R raise, B beep, W wave.
    std::string TickAt(uint32_t tick) { return TimerAt(tick, ClockTimer); }
    std::string TimerAt(uint32_t tick, TimerFired fired, TimerPlan* plan = nullptr)
    {
        fakeHost.tick = tick;
        ClockNow now = FakeNow();
        TimerPlan unused;
        RunTimers(mainWindow, &d, &now, fired, plan ? plan : &unused);
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
// run, started at 9500, ends at 14500 and is noticed at 15000.
// At Start, each tick, Stop, Start and close, the system is kept awake while a
// run counts or a restart is pending: + asked, a kept, x dropped, - not.
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

// What a message asks the shell to arm: the deadline of each state, as a
// command leaves it (NoTimer), and after a beep for the beeping rows (a beep
// due at now sounded by the deadline timer; the next keeps the end's phase).
TEST_F(Engine, DeadlineOfEachState)
{
    enum { Idle, Counting, Expired };
    struct { const char* what; int state; int32_t sound, restart, beep; uint32_t start, now;
             bool has; uint32_t deadline; } const cases[] = {
        {"idle", Idle, 0, 1, 0, 1000, 5000, false, 0},
        {"counting", Counting, 0, 1, 1, 1000, 5000, true, 181000},
        {"counting across the wrap", Counting, 0, 0, 0, 0xFFFFF000u, 0x10, true, 0x2AF20u},
        {"counting, end already past: at once", Counting, 0, 0, 0, 1000, 190000, true, 190000},
        {"restart pending", Expired, 0, 1, 1, 1000, 181000, true, 191001},
        {"restart across the wrap", Expired, 2, 1, 0, 0xFFFD2000u, 0xFFFFFF00u, true, 0x631u},
        {"restart already due: at once", Expired, 2, 1, 0, 1000, 500000, true, 500000},
        {"beeping, at the end", Expired, 0, 0, 1, 1000, 181000, true, 182000},
        {"beeping, 999 ms late: not hurried", Expired, 0, 0, 1, 1000, 182999, true, 183499},
        {"beeping, 600 ms late: not skipped", Expired, 0, 0, 1, 1000, 182600, true, 183100},
        {"beeping, at a beep", Expired, 0, 0, 1, 1000, 183000, true, 184000},
        {"beeping across the wrap, 672 ms late", Expired, 0, 0, 1, 0xFFFD2000u, 0x100, true, 0x2F4u},
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
        d.BeepTick = c.now;
        bool beeps = c.state == Expired && c.sound == 0 && c.beep && c.restart != 1;
        TimerPlan plan;
        EXPECT_EQ(TimerAt(c.now, beeps ? DeadlineTimer : NoTimer, &plan), beeps ? "B" : "") << c.what;
        EXPECT_EQ(plan.deadline != 0, c.has) << c.what;
        if (c.has) {
            EXPECT_EQ(c.now + plan.deadlineMs, c.deadline) << c.what;
        }
    }
    // A preset changed during a run moves the end with it.
    SetUp();
    StartAt(1000);
    Preset(1, 30);
    TimerPlan plan;
    TimerAt(2000, NoTimer, &plan);
    EXPECT_EQ(plan.deadlineMs, 89000u);
}

// Windows' timers over the real contract, as OnTimer uses it: the tick count
// and the local time move in 15.625 ms steps (125 eighths of a millisecond);
// SetTimer waits at least 10 ms and delivers at the first step at or after its
// time, in some rows now and then a step late, coalesced by up to 100 ms or
// held up 600 ms (a seeded choice). The shell sets both timers after each message.
enum Delivery { OnTime, Jittery, Stalls, Straddles, Sleeps };
const int32_t Extra[] = {0, 110, 600, 16, 110};  // the most a message is held up, ms

struct Model {
    uint64_t t = 0, due[3] = {};  // eighths of a millisecond
    uint32_t seed = 1;
    size_t cut[3] = {};  // where the sleep falls in shown, beeps and alarms
    int sinceClock = 0, alarmsInATick = 0, ticks = 0, perSecond[1000] = {};
    std::vector<int> shown;  // second of the day, at each clock tick
    std::vector<uint32_t> beeps, alarms;
    std::vector<int32_t> late;  // of each alarm, after its run's nominal end
};

class WindowsModel : public Engine {
protected:
    Model m;
    Delivery how = OnTime;
    uint32_t phase = 0;
    uint32_t Tick() const { return 0xFFFFF000u + (uint32_t)(m.t / 125 * 125 / 8); }  // wraps 4 s in

    void SetTimer(int id, uint32_t ms)
    {
        m.seed = m.seed * 1103515245u + 12345u;
        uint32_t r = m.seed >> 16 & 7, wait = std::max(ms, 10u) * 8;
        if (how == Jittery || how == Sleeps)
            wait += r < 2 ? 125 : r < 3 ? (m.seed >> 19) % 800 : 0;
        if (how == Stalls && r < 2)
            wait += 600 * 8;
        m.due[id] = (m.t + wait + 124) / 125 * 125;
    }
    void Message(TimerFired fired)
    {
        uint32_t day = (36000000 + phase + Tick() - 0xFFFFF000u) % 86400000u;
        ClockNow now = {Tick(), {2003, 2, 0, 9, (uint16_t)(day / 3600000), (uint16_t)(day / 60000 % 60),
                                 (uint16_t)(day / 1000 % 60), (uint16_t)(day % 1000)}};
        TimerPlan plan;
        RunTimers(mainWindow, &d, &now, fired, &plan);
        m.t += how == Straddles ? 125 : 0;  // the counts step between the reading and the arming
        if (plan.clockMs)
            SetTimer(1, plan.clockMs);
        m.due[2] = 0;
        if (plan.deadline)
            SetTimer(2, plan.deadlineMs);
        m.ticks += fired == ClockTimer;
        m.sinceClock *= fired != ClockTimer;
        ++m.perSecond[(now.tick - 0xFFFFF000u) / 1000 % 1000];
        for (const std::string& e : fakeHost.Take()) {
            int h, min, sec;
            if (sscanf(e.c_str(), "insert 0 1 %d:%d:%d", &h, &min, &sec) == 3)
                m.shown.push_back(h * 3600 + min * 60 + sec);
            if (e == "beep")
                m.beeps.push_back(now.tick);
            if (e == "raise") {
                m.alarms.push_back(now.tick);
                m.late.push_back((int32_t)(now.tick - d.StartTick - (uint32_t)d.DurationMs));
                m.alarmsInATick = std::max(m.alarmsInATick, ++m.sinceClock);
            }
        }
    }
    // From start-up, with Start between two steps 2 s in, for the given seconds.
    void Run(Delivery delivery, uint32_t seconds)
    {
        m = Model();
        how = delivery;
        m.seed = phase + 1;
        uint64_t start = (2000 + phase) * 8, end = start + seconds * 8000ull, sleep = (start + end) / 2;
        Message(ClockTimer);  // WinMain's first tick
        while (m.t < end) {
            int id = m.due[2] && m.due[2] < m.due[1] ? 2 : 1;
            if (start && start <= m.due[id]) {
                m.t = start, start = 0;
                StartTimer(&d, Tick());
                Message(NoTimer);
            } else if (how == Sleeps && sleep && sleep <= m.due[id]) {
                m.t = sleep + 600000 * 8, end += 600000 * 8, sleep = 0;
                m.cut[0] = m.shown.size(), m.cut[1] = m.beeps.size(), m.cut[2] = m.alarms.size();
            } else {
                m.t = std::max(m.t, m.due[id]);
                Message(id == 1 ? ClockTimer : DeadlineTimer);
            }
        }
    }
};

// Each row at four phases of the local second. The faults the rows catch:
// two alarms in one tick of the clock with a period of zero, a double beep
// when the count steps within a message, a beep skipped or hurried after a
// late one, a burst of alarms after a sleep, and a chain that drifts.
TEST_F(WindowsModel, OneAlarmPerRunAndOneBeepASecond)
{
    struct { const char* what; int32_t seconds, restartSec, sound, restart; Delivery how;
             uint32_t runFor; } const rows[] = {
        {"beeping", 5, 10, 0, 0, OnTime, 20},
        {"beeping, jittery", 5, 10, 0, 0, Jittery, 30},
        {"beeping, messages 600 ms late", 5, 10, 0, 0, Stalls, 30},
        {"beeping, the count steps within a message", 5, 10, 0, 0, Straddles, 20},
        {"beeping through a 10-minute sleep", 5, 10, 0, 0, Sleeps, 30},
        {"a chain of 60 runs", 2, 1, 1, 1, OnTime, 180},
        {"a chain with beeps, jittery", 2, 1, 0, 1, Jittery, 60},
        {"a chain, the count steps within a message", 2, 1, 1, 1, Straddles, 30},
        {"a chain, messages 600 ms late", 2, 1, 1, 1, Stalls, 30},
        {"a chain through a 10-minute sleep", 60, 1, 1, 1, Sleeps, 300},
        {"a period of zero", 0, 0, 0, 1, Jittery, 10},
        {"a negative period", 5, -10, 1, 1, OnTime, 10},
    };
    for (const auto& row : rows) {
        int32_t late = 0, drift = 0, busiest = 0;  // the figures, printed for the README
        for (uint32_t p : {0u, 25u /* the end just after a tick */, 377u, 998u}) {
            SCOPED_TRACE(std::string(row.what) + ", phase " + std::to_string(p));
            ShortRun(row.sound, row.restart);
            Preset(0, row.seconds);
            d.RestartSec = row.restartSec;
            d.TimerFormat = 1;
            phase = p;
            Run(row.how, row.runFor);
            const int32_t bound = 10 + 16 + Extra[row.how], period = (row.seconds + row.restartSec) * 1000;
            for (size_t i = 1; i < m.shown.size(); ++i)
                ASSERT_TRUE(i == m.cut[0] || m.shown[i] == m.shown[i - 1] + 1) << "time line, tick " << i;
            for (size_t i = 0; i < m.late.size(); ++i) {
                EXPECT_TRUE(i == m.cut[2] || (m.late[i] >= 0 && m.late[i] <= bound)) << m.late[i];
                late = std::max(late, i == m.cut[2] ? 0 : m.late[i]);
            }
            EXPECT_LE(m.alarmsInATick, 1);
            busiest = std::max(busiest, *std::max_element(m.perSecond, m.perSecond + 1000));
            EXPECT_LE(busiest, 6) << "messages a second";
            const size_t runs = m.alarms.size();
            if (row.restart && period > 0) {
                EXPECT_TRUE(runs + 1 >= row.runFor * 1000 / period && runs <= row.runFor * 1000 / period + 2);
                if (row.how != Sleeps)
                    drift = std::max(drift, (int32_t)(m.alarms.back() - m.alarms[0] - (runs - 1) * period));
                EXPECT_LE(drift, 16 + Extra[row.how]) << "the chain drifts";
            } else if (row.restart) {
                EXPECT_TRUE(runs <= (size_t)m.ticks && runs >= (row.seconds ? 1 : row.runFor - 1)) << runs;
            }
            if (row.sound != 0 || row.restart != 0) {
                EXPECT_EQ(m.beeps.size(), row.sound == 0 ? runs : 0u);
                continue;
            }
            ASSERT_TRUE(runs == 1 && !m.beeps.empty() && m.beeps[0] == m.alarms[0]) << "a beep with the expiry";
            for (size_t i = 1; i < m.beeps.size(); ++i) {
                uint32_t gap = m.beeps[i] - m.beeps[i - 1];
                EXPECT_TRUE(i == m.cut[1] || (gap >= MinBeepGapMs && gap <= 1000u + bound)) << gap << " ms apart";
            }
            EXPECT_LE(Tick() - m.beeps.back(), 1000u + bound) << "the beeps went on";
        }
        printf("modelled Windows, %s: expiry up to %d ms late; last end %d ms behind the first's "
               "rhythm; up to %d timer messages a second\n", row.what, late, drift, busiest);
    }
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
    EXPECT_EQ(d.StartTick, t + 190000);  // its nominal start, so the chain does not drift
    EXPECT_EQ(Countdown(), " 2:59");  // counted in the same tick, 1 ms in
    EXPECT_EQ(TickAt(t + 369999), "");
    EXPECT_EQ(TickAt(t + 370000), "RB");
    EXPECT_EQ(TickAt(t + 380002), "");
    EXPECT_EQ(d.StartTick, t + 380000);
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
    StartTimer(&d, 181500);
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
    ClockNow now = FakeNow();
    ClockTick(mainWindow, &d, &now);
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
    EXPECT_EQ(d.StartTick, 2147664000u);
}

TEST(BoxValue, AWholeNumberWithinTheListCountsAndAnythingElseGivesTheFallback)
{
    // The last row filled the buffer: it may have been cut short.
    const struct { const char* text; int32_t value; } rows[] = {
        {"1", 1}, {"60", 60}, {"07", 7}, {" 7 ", 7}, {"00000000000007", 7}, {"0", 42}, {"61", 42},
        {"-1", 42}, {"+5", 42}, {"", 42}, {"  ", 42}, {"ab", 42}, {"5x", 42}, {"1.", 42},
        {"7 7", 42}, {"\t7", 42}, {"99999999999999", 42}, {"000000000000007", 42}};
    for (const auto& row : rows)
        EXPECT_EQ(row.value, BoxValue(row.text, 1, 60, 42)) << '"' << row.text << '"';
    EXPECT_EQ(0, BoxValue("0", 0, 59, 42));
    EXPECT_EQ(42, BoxValue("60", 0, 59, 42));
}

}  // namespace
