// The countdown engine against a pushed-in clock: expiry, alarms, automatic
// restart, Start and Stop, the wrap of the 32-bit tick count, and Windows'
// timers modelled over the engine's answers.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "box_value.h"
#include "engine.h"
#include "path.h"

namespace {

class Engine : public ::testing::Test {
protected:
    ClockData d = {};
    Effects fx = {};
    std::string countdown;  // what CountdownLine holds, as the shell keeps it

    void SetUp() override
    {
        d = ClockData();
        countdown.clear();
        Preset(3, 0);
        d.RestartSec = 10;
    }
    void Preset(int32_t minutes, int32_t seconds)
    {
        d.TimerMinute = minutes;
        d.TimerSecond = seconds;
        d.DurationMs = PresetDurationMs(minutes, seconds);
    }
    // One event at tick; returns what it raised and sounded: R raise, W the wave, B beep.
    std::string Run(uint32_t tick, EngineEvent event, ClockData* data)
    {
        ClockNow now = {tick, {2003, 2, 0, 9, 0, 0, 0, 0}};
        RunEngine(data, &now, event, &fx);
        if (fx.display.countdownShown)
            countdown = fx.display.countdown;
        std::string alarm = fx.raise ? "R" : "";
        if (fx.playWave)
            alarm += strcmp(fx.wave, "C:\\alarm.wav") == 0 ? 'W' : '?';
        return alarm + (fx.beep ? "B" : "");
    }
    std::string Run(uint32_t tick, EngineEvent event) { return Run(tick, event, &d); }
    std::string TickAt(uint32_t tick) { return Run(tick, ClockTimer); }
    void StartAt(uint32_t tick) { Run(tick, StartPressed); }
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
        EXPECT_EQ(countdown, c.line) << c.elapsed;
        EXPECT_EQ(d.Running, 1) << c.elapsed;
    }
    Preset(60, 59);
    StartAt(5000);
    TickAt(5000);
    EXPECT_EQ(countdown, " 60:59");
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
        EXPECT_EQ(countdown, s.line) << std::hex << s.tick;
        EXPECT_EQ(d.Running, s.running) << std::hex << s.tick;
        EXPECT_EQ(alarm, s.running ? "" : "RB") << std::hex << s.tick;
    }
}

// A 0:05 run started at 1500 ends at 6500 and is noticed by the tick at 7000;
// a restart 3 s after the nominal end comes with the tick at 10000, and that
// run, started at 9500, ends at 14500 and is noticed at 15000.
// At Start, each tick, Stop, Start and close, the system is kept awake while a
// run counts, a restart is pending or the beep sounds: + asked, a kept, x
// dropped, - not.
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
        std::string seen;  // what each step made of keeping awake
        auto see = [&] { seen += "-ax+"[(fx.keepAwake != awake) * 2 + fx.keepAwake], awake = fx.keepAwake; };
        StartAt(1500), see();
        for (int i = 0; i < 16; ++i) {
            uint32_t tick = 2000 + 1000 * i;
            EXPECT_EQ(TickAt(tick), row.ticks[i])
                << "SoundFormat " << row.sound << " Restart " << row.restart << " tick " << tick;
            see();
        }
        EXPECT_EQ(d.RestartArmed, 1);
        Run(18000, StopPressed), see(), StartAt(30000), see(), Run(30001, ClockTimer, nullptr), see();
        EXPECT_EQ(row.sound && !row.restart ? "+aaaaax-----------+x" : "+aaaaaaaaaaaaaaaax+x", seen) << row.restart;
    }
}

// Stories of Start, Stop and ticks, each told at three tick counts: one far
// from the wrap, one whose first end and one whose first restart lies past it.
// Each step: ticks after the base, the event, what it raised and sounded, and
// the countdown line after it (NULL: not checked).
TEST_F(Engine, Stories)
{
    struct Step { uint32_t at; char event; const char* alarm; const char* line; };
    struct { const char* what; int32_t seconds, restart, restartSec; Step steps[10]; } const stories[] = {
        {"a restart chain keeps the rhythm of its nominal ends", 180, 1, 10,
         {{0, 'S', "", nullptr}, {179999, 'T', "", " 0:00"}, {180000, 'T', "RB", " 3:00"},
          {185000, 'T', "", " 3:00"}, {190000, 'D', "", " 3:00"},
          {190001, 'T', "", " 2:59"},  // started at 190000, 1 ms ago
          {369999, 'T', "", " 0:00"}, {370000, 'D', "RB", " 3:00"}, {380002, 'T', "", " 2:59"}}},
        {"restart 2 never restarts and keeps beeping", 180, 2, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", " 3:00"}, {181000, 'T', "B", nullptr},
          {188000, 'T', "B", nullptr}, {400000, 'T', "B", " 3:00"}}},
        {"start while beeping silences until the next expiry", 180, 0, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", nullptr}, {181000, 'T', "B", " 3:00"},
          {181500, 'S', "", " 3:00"}, {182000, 'T', "", " 2:59"}, {300000, 'T', "", " 1:01"},
          {361499, 'D', "", nullptr}, {361500, 'D', "RB", " 3:00"}, {362500, 'T', "B", nullptr}}},
        {"start during a run begins afresh", 180, 0, 10,
         {{0, 'S', "", nullptr}, {100000, 'T', "", " 1:20"}, {150000, 'S', "", " 1:20"},
          {329999, 'T', "", " 0:00"}, {330000, 'T', "RB", " 3:00"}}},
        {"a zero preset expires at the first tick, and again when started again at once", 0, 0, 10,
         {{77, 'S', "", nullptr}, {77, 'T', "RB", " 0:00"}, {577, 'S', "", nullptr}, {577, 'T', "RB", nullptr},
          {1577, 'T', "B", " 0:00"}}},
        {"stop during a run", 180, 1, 10,
         {{0, 'S', "", nullptr}, {60000, 'T', "", " 2:00"}, {60000, 'P', "", " 3:00"},
          {180000, 'T', "", nullptr}, {190001, 'D', "", nullptr}, {800000, 'T', "", " 3:00"}}},
        {"stop while beeping", 180, 0, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", nullptr}, {185000, 'P', "", " 3:00"},
          {186000, 'T', "", nullptr}, {400000, 'D', "", " 3:00"}}},
        {"stop before a restart", 180, 1, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", nullptr}, {185000, 'P', "", " 3:00"},
          {190001, 'D', "", nullptr}, {400000, 'T', "", " 3:00"}}},
        {"a chain at 0:00 rings on its nominal ends", 0, 1, 1,
         {{0, 'S', "", nullptr}, {0, 'T', "RB", nullptr}, {1001, 'D', "RB", nullptr},
          {2001, 'D', "RB", nullptr}, {3001, 'D', "RB", nullptr}}},
        {"a delay that wraps to 8 ms in 32 bits rings once", 0, 1, 115964117,
         {{0, 'S', "", nullptr}, {0, 'T', "RB", nullptr}, {9, 'D', "", nullptr},
          {1000, 'T', "", nullptr}, {2000, 'T', "", nullptr}, {86400000, 'T', "", " 0:00"}}},
        {"a restart noticed an hour late starts a whole run then, with no alarm", 180, 1, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", nullptr}, {3600000, 'T', "", " 3:00"},
          {3779999, 'D', "", nullptr}, {3780000, 'D', "RB", " 3:00"}}},
        {"a beep due after a sleep past half the tick range", 180, 0, 10,
         {{0, 'S', "", nullptr}, {180000, 'T', "RB", nullptr}, {180000u + 0x80000000u + 5000, 'T', "B", nullptr},
          {180000u + 0x80000000u + 6000, 'D', "B", nullptr}}},
        {"a run whose end passed in a sleep past half the tick range", 180, 0, 10,
         {{0, 'S', "", nullptr}, {1000, 'T', "", " 2:59"}, {0x80000000u + 181000, 'T', "RB", " 3:00"}}},
    };
    for (uint32_t base : {1000u, 0xFFFD2000u, 0xFFFCF000u}) {
        for (const auto& story : stories) {
            SetUp();
            Preset(story.seconds / 60, story.seconds % 60);
            d.Restart = story.restart;
            d.RestartSec = story.restartSec;
            for (const Step& s : story.steps) {
                if (!s.event)
                    break;
                SCOPED_TRACE(std::string(story.what) + ", step at " + std::to_string(s.at) +
                             ", base " + std::to_string(base));
                const EngineEvent event = s.event == 'S' ? StartPressed : s.event == 'P' ? StopPressed
                                        : s.event == 'T' ? ClockTimer : DeadlineTimer;
                EXPECT_EQ(Run(base + s.at, event), s.alarm);
                EXPECT_EQ(countdown, s.line ? s.line : countdown);
            }
        }
    }
}

// What a message asks the shell to arm: the deadline of each state, as a
// command leaves it (a settings change), and after a beep for the beeping rows (a beep
// due at now sounded by the deadline timer; the next a second on).
// A suspend sets the wake timer at the deadline of a run or restart, never a beep's.
TEST_F(Engine, DeadlineOfEachState)
{
    enum { Idle, Counting, Expired };
    const int32_t wraps = 115964117;  // seconds whose milliseconds wrap to 8 in 32 bits
    struct { const char* what; int state; int32_t sound, restart, beep; uint32_t start, now;
             bool has; uint32_t deadline; int32_t restartSec = 10; } const cases[] = {
        {"idle", Idle, 0, 1, 0, 1000, 5000, false, 0},
        {"counting", Counting, 0, 1, 1, 1000, 5000, true, 181000},
        {"counting across the wrap", Counting, 0, 0, 0, 0xFFFFF000u, 0x10, true, 0x2AF20u},
        {"counting, end already past: at once", Counting, 0, 0, 0, 1000, 190000, true, 190000},
        {"restart pending", Expired, 0, 1, 1, 1000, 181000, true, 191001},
        {"restart across the wrap", Expired, 2, 1, 0, 0xFFFD2000u, 0xFFFFFF00u, true, 0x631u},
        {"restart already due: at once", Expired, 2, 1, 0, 1000, 500000, true, 500000},
        {"beeping, at the end", Expired, 0, 0, 1, 1000, 181000, true, 182000},
        {"beeping, restart 2 never restarts", Expired, 0, 2, 1, 1000, 181500, true, 182500},
        {"wave played, no beep", Expired, 1, 0, 1, 1000, 181500, false, 0},
        {"alarm silenced", Expired, 0, 0, 0, 1000, 181500, false, 0},
        {"counting, the end passed in a sleep past half the range: at once", Counting, 0, 0, 0,
         1000, 0x80000000u + 182000, true, 0x80000000u + 182000},
        {"restart, a delay of 49.7 days at most, timed in steps", Expired, 2, 1, 0, 1000, 181000, true, 181000u + INT32_MAX, wraps},
        {"restart, a delay under a second: a second", Expired, 2, 1, 0, 1000, 181000, true, 182001, -180},
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
        d.AlarmTick = c.start + 180000;  // an expired run rang on time
        d.RestartSec = c.restartSec;
        EXPECT_EQ(Run(c.now, Suspending), "") << c.what;
        bool wakes = c.has && (c.state == Counting || c.restart == 1);
        EXPECT_EQ(fx.plan.wake ? c.now + fx.plan.wakeMs : 0, wakes ? c.deadline : 0) << c.what;
        bool beeps = c.state == Expired && c.sound == 0 && c.beep && c.restart != 1;
        EXPECT_EQ(Run(c.now, beeps ? DeadlineTimer : SettingsChanged), beeps ? "B" : "") << c.what;
        EXPECT_EQ(fx.plan.deadline != 0, c.has) << c.what;
        EXPECT_EQ(c.now + fx.plan.deadlineMs, c.has ? c.deadline : c.now) << c.what;
    }
    // A preset changed during a run moves the end with it.
    SetUp();
    StartAt(1000);
    Preset(1, 30);
    Run(2000, SettingsChanged);
    EXPECT_EQ(fx.plan.deadlineMs, 89000u);
    EXPECT_EQ(countdown, " 1:30");
}

// Windows' timers over the real contract, as OnTimer uses it: the tick count
// and the local time move in 15.625 ms steps (125 eighths of a millisecond);
// SetTimer waits at least 10 ms and delivers at the first step at or after its
// time, in some rows now and then a step late, coalesced by up to 100 ms or
// held up 600 ms (a seeded choice). The shell sets both timers after each message.
// Wakes: a sleep cut short by the wake timer set as it began; the resume runs the timers.
enum Delivery { OnTime, Jittery, Stalls, Straddles, Sleeps, Wakes };
const int32_t Extra[] = {0, 110, 600, 16, 110, 110};  // the most a message is held up, ms

struct Model {
    uint64_t t = 0, due[3] = {};  // eighths of a millisecond
    uint32_t seed = 1;
    size_t cut[3] = {};  // where the sleep falls in shown, beeps and alarms
    int ticks = 0, perSecond[1000] = {};
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
        if (how == Jittery || how >= Sleeps)
            wait += r < 2 ? 125 : r < 3 ? (m.seed >> 19) % 800 : 0;
        if (how == Stalls && r < 2)
            wait += 600 * 8;
        m.due[id] = (m.t + wait + 124) / 125 * 125;
    }
    void Message(EngineEvent event)
    {
        uint32_t day = (36000000 + phase + Tick() - 0xFFFFF000u) % 86400000u;
        ClockNow now = {Tick(), {2003, 2, 0, 9, (uint16_t)(day / 3600000), (uint16_t)(day / 60000 % 60),
                                 (uint16_t)(day / 1000 % 60), (uint16_t)(day % 1000)}};
        RunEngine(&d, &now, event, &fx);
        m.t += how == Straddles ? 125 : 0;  // the counts step between the reading and the arming
        ASSERT_LE(fx.plan.deadlineMs, (uint32_t)INT32_MAX);
        if (fx.plan.clockMs)
            SetTimer(1, fx.plan.clockMs);
        m.due[2] = 0;
        if (fx.plan.deadline)
            SetTimer(2, fx.plan.deadlineMs);
        m.ticks += event == ClockTimer;
        ++m.perSecond[(now.tick - 0xFFFFF000u) / 1000 % 1000];
        int h, min, sec;
        if (fx.display.clockShown && sscanf(fx.display.clock[1], "%d:%d:%d", &h, &min, &sec) == 3)
            m.shown.push_back(h * 3600 + min * 60 + sec);
        if (fx.beep)
            m.beeps.push_back(now.tick);
        if (fx.raise) {
            m.alarms.push_back(now.tick);
            m.late.push_back((int32_t)(now.tick - d.StartTick - (uint32_t)d.DurationMs));
        }
    }
    // From start-up, with Start between two steps 2 s in, for the given
    // seconds; a Sleeps run sleeps for sleepMs halfway.
    void RunModel(Delivery delivery, uint32_t seconds, uint64_t sleepMs = 600000)
    {
        m = Model();
        how = delivery;
        m.seed = phase + 1;
        uint64_t start = (2000 + phase) * 8, end = start + seconds * 8000ull, sleep = (start + end) / 2;
        Message(ClockTimer);  // WinMain's first tick
        while (m.t < end && !HasFatalFailure()) {
            int id = m.due[2] && m.due[2] < m.due[1] ? 2 : 1;
            if (start && start <= m.due[id]) {
                m.t = start, start = 0;
                Message(StartPressed);
            } else if (how >= Sleeps && sleep && sleep <= m.due[id]) {
                uint64_t back = (m.t = sleep) + sleepMs * 8;
                if (how == Wakes && (Message(Suspending), fx.plan.wake))
                    back = std::min<uint64_t>(back, m.t + fx.plan.wakeMs * 8ull);
                end += back - m.t, m.t = (back + 124) / 125 * 125, sleep = 0;
                m.cut[0] = m.shown.size(), m.cut[1] = m.beeps.size();
                m.cut[2] = how == Sleeps ? m.alarms.size() : 0;  // woken, its first end is on time too
                if (how == Wakes)
                    Message(ClockTimer);
            } else {
                m.t = std::max(m.t, m.due[id]);
                Message(id == 1 ? ClockTimer : DeadlineTimer);
            }
        }
    }
};

// Each row at four phases of the local second. The faults the rows catch:
// alarms less than a second apart (a period of zero, a delay that wraps in 32
// bits, a run held up across an end that rings again at once), a double beep
// when the count steps within a message, a beep skipped or hurried after a
// late one, beeps silent after a sleep past half the tick range, a burst of
// alarms after a sleep, and a chain that drifts (at 0:00 too).
TEST_F(WindowsModel, OneAlarmPerRunAndOneBeepASecond)
{
    // A Sleeps row sleeps sleepMs halfway, then each 7 ms longer up to sleepMs + sweepMs.
    struct { const char* what; int32_t seconds, restartSec, sound, restart; Delivery how;
             uint32_t runFor; uint64_t sleepMs = 600000, sweepMs = 0; } const rows[] = {
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
        {"a chain woken from sleep for its end", 60, 1, 1, 1, Wakes, 300},
        {"a chain woken from sleep for its restart", 20, 20, 0, 1, Wakes, 300},
        {"a period of zero", 0, 0, 0, 1, Jittery, 10},
        {"a negative period", 5, -10, 1, 1, OnTime, 10},
        {"a chain at 0:00", 0, 1, 1, 1, OnTime, 60},
        {"a delay of 115964117 s, 8 ms in 32 bits", 0, 115964117, 1, 1, OnTime, 10},
        {"a chain held up across an end", 5, 1, 1, 1, Sleeps, 30, 3000, 5000},
        {"beeping through a 25-day sleep", 5, 10, 0, 0, Sleeps, 30, 0x80000000u + 600000},
    };
    for (const auto& row : rows) {
        int32_t late = 0, drift = 0, busiest = 0;  // the figures, printed for the README
        for (uint64_t sleep = row.sleepMs; sleep <= row.sleepMs + row.sweepMs; sleep += 7)
        for (uint32_t p : {0u, 25u /* the end just after a tick */, 377u, 998u}) {
            SCOPED_TRACE(std::string(row.what) + ", phase " + std::to_string(p) + ", sleep " +
                         std::to_string(sleep));
            ShortRun(row.sound, row.restart);
            Preset(0, row.seconds);
            d.RestartSec = row.restartSec;
            d.TimerFormat = 1;
            phase = p;
            RunModel(row.how, row.runFor, sleep);
            const int32_t bound = 10 + 16 + Extra[row.how];
            const int64_t period = std::min((row.seconds + (int64_t)row.restartSec) * 1000, (int64_t)UINT32_MAX);
            for (size_t i = 1; i < m.alarms.size(); ++i)
                ASSERT_GE(m.alarms[i] - m.alarms[i - 1], 1000u - 16) << "alarms " << i - 1 << " and " << i;
            for (size_t i = 1; i < m.shown.size(); ++i)
                ASSERT_TRUE(i == m.cut[0] || m.shown[i] == m.shown[i - 1] + 1) << "time line, tick " << i;
            for (size_t i = 0; i < m.late.size(); ++i) {
                EXPECT_TRUE(i == m.cut[2] || (m.late[i] >= 0 && m.late[i] <= bound)) << m.late[i];
                late = std::max(late, i == m.cut[2] ? 0 : m.late[i]);
            }
            busiest = std::max(busiest, *std::max_element(m.perSecond, m.perSecond + 1000));
            EXPECT_LE(busiest, 6) << "messages a second";
            const int64_t runs = (int64_t)m.alarms.size(), expected = row.runFor * 1000 / std::max(period, (int64_t)1);
            if (row.restart && period > 0) {
                EXPECT_TRUE(runs + 1 >= expected && runs <= expected + 2) << runs;
                if (row.how != Sleeps)
                    drift = std::max(drift, (int32_t)(m.alarms.back() - m.alarms[0] - (runs - 1) * period));
                EXPECT_LE(drift, 16 + Extra[row.how]) << "the chain drifts";
            } else if (row.restart) {
                EXPECT_TRUE(runs <= m.ticks && runs >= (row.seconds ? 1 : row.runFor - 1)) << runs;
            }
            if (row.sound != 0 || row.restart != 0) {
                EXPECT_EQ((int64_t)m.beeps.size(), row.sound == 0 ? runs : 0);
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
        EXPECT_EQ(countdown, c.first) << c.minutes;
    }
    // A restart delay whose milliseconds exceed INT32_MAX.
    SetUp();
    d.Restart = 1;
    d.RestartSec = 2147484;
    StartAt(0);
    EXPECT_EQ(TickAt(180000), "RB");
    EXPECT_EQ(TickAt(180100), "");  // the delay lies more than half the tick range ahead
    EXPECT_EQ(TickAt(181000), "");
    EXPECT_EQ(TickAt(2147664000u), "");
    EXPECT_EQ(d.Running, 0);
    TickAt(2147664001u);
    EXPECT_EQ(d.StartTick, 2147664000u);
    // The longest delay the count can time after the end of a 3:00 run, and it restarts.
    SetUp();
    d.Restart = 1;
    d.RestartSec = INT32_MAX;
    StartAt(0);
    EXPECT_EQ(TickAt(180000), "RB");
    EXPECT_EQ(TickAt(UINT32_MAX - 1), "");
    TickAt(UINT32_MAX);
    EXPECT_EQ(d.Running, 1);
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

TEST(IsLocalPath, AnyPathThatCouldReachAnotherComputerIsNot)
{
    char full[PathSize];
    for (const char* path : {"C:\\x.wav", "c:x.wav", "x.wav", "\\x.wav", "DEFAULT", "", " C:\\x.wav",
                             "\\\\?\\C:\\x.wav", "C:\\..\\..\\UNC\\h\\s"})
        EXPECT_TRUE(IsLocalPath(path)) << path;
    for (const char* path : {"\\\\h\\s", "//h/s/x.wav", "\\/h/s", "/\\h\\s", "\t\\\\h", "\\\\?\\unc\\h\\s",
            "\\\\?\\UNC\\h\\s\\x.wav", "\\\\.\\UNC\\h\\s", "\\\\.\\pipe\\x", "\\\\.\\C:\\..\\UNC\\h\\s",
            "//?/C:/x.wav", "\\\\?\\C:\\..\\..\\UNC\\h\\s", "\\\\?\\C|\\x.wav", "\\\\?\\C:", "\\??\\UNC\\h\\s",
            "\\\\?\\GLOBALROOT\\Device\\Mup\\h\\s"})
        EXPECT_FALSE(IsLocalPath(path) || WavePath("C:\\w", path, full, sizeof full)) << path;
    const std::string dir = "C:\\" + std::string(254, 'd'), longest = dir + "\\x";  // 259 characters
    const char* const waves[][3] = {{"C:\\w", "x", "C:\\w\\x"}, {"C:\\", "x", "C:\\x"}, {"C:\\w", "c:x", "C:\\w\\x"},
        {"C:\\w", "\\x", "C:\\x"}, {"C:\\w", "D:/x", "D:/x"}, {"C:\\w", "D:x", ""}, {"\\\\h\\s", "x", ""}, {"", "x", ""},
        {"C:\\w", "", ""}, {"C:\\\x95\\", "x", "C:\\\x95\\\\x"} /* a double-byte name's last byte */,
        {dir.c_str(), "x", longest.c_str()}, {dir.c_str(), "xy", ""}};
    for (auto row : waves)  // the full path a wave plays from, or none
        EXPECT_EQ(row[2], std::string(WavePath(row[0], row[1], full, sizeof full) ? full : "")) << row[1];
}

}  // namespace
