// libFuzzer target: an arbitrary Velmaris.ini loaded into a fresh record,
// then any sequence of timer messages, commands and clock readings (sleeps
// and the wrap of the tick count among them), then a save and a reload. It
// checks what must hold of the engine's answers, not how they are reached:
// alarms a second apart, beeps half a second apart and never silent for long,
// no alarm before its run is over or after Stop, every delay within bounds,
// every text terminated within its buffer, the settings untouched.
//
// Input: a 16-bit mask (bits 0-10: which of the eleven keys are present,
// bits 11-12: the working directory, bit 13: the file cannot be opened), for
// each present key a 16-bit length and that many bytes, then operations of one
// byte each with their operands.
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "engine.h"
#include "memory_profile.h"
#include "settings.h"
#include "settings_file.h"

#define CHECK(cond) ((cond) ? (void)0 : (fprintf(stderr, "check failed: %s\n", #cond), abort()))

namespace {

struct Reader {
    const uint8_t* p;
    size_t n;
    uint8_t Byte() { return n ? (--n, *p++) : 0; }
    uint16_t U16() { uint16_t lo = Byte(); return (uint16_t)(lo | Byte() << 8); }
    uint32_t U32() { uint32_t lo = U16(); return lo | (uint32_t)U16() << 16; }
};

enum { SoundWavKey = 8, RestartSecKey = 10 };
const uint64_t Never = UINT64_MAX;

// The rule for numbers, from the C library: sign and digits after white space, clamped.
int32_t Number(const std::string& text)
{
    long long v = strtoll(text.c_str(), nullptr, 10);
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int32_t)v;
}

bool Terminated(const char* text, size_t size) { return memchr(text, '\0', size) != nullptr; }

bool SamePersisted(const ClockData& a, const ClockData& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
           a.TimerMinute == b.TimerMinute && a.TimerSecond == b.TimerSecond &&
           a.TimerFormat == b.TimerFormat && a.SoundFormat == b.SoundFormat &&
           strcmp(a.SoundWav, b.SoundWav) == 0 && a.Restart == b.Restart &&
           a.RestartSec == b.RestartSec && a.DurationMs == b.DurationMs;
}

// What the user has heard, in real (64-bit) milliseconds, since the last Start.
struct Heard {
    uint64_t now = 1000;        // real time; the tick count is its low 32 bits
    uint64_t started = Never;   // the last Start
    uint64_t alarm = Never;     // the last alarm since then
    uint64_t beep = Never;      // the last beep since then
    bool stopped = true;        // Stop (or start-up) and no Start since
    uint64_t run = Never;       // when the last run began, by Start or a restart
    uint64_t start = Never;     // when the run that counts or last counted began, as the engine has it
    uint32_t Tick() const { return (uint32_t)now; }
};

bool Sounding(const ClockData& d)
{
    return d.Running == 0 && d.SoundFormat == 0 && d.BeepPending == 1 &&
           !(d.RestartArmed == 1 && d.Restart == 1);
}

void CheckAnswer(const ClockData& pre, const ClockData& d, EngineEvent event, const Effects& fx, Heard& h)
{
    const Display& display = fx.display;
    for (int i = 0; i < 3; ++i)
        CHECK(!display.clockShown || Terminated(display.clock[i], LineSize));
    CHECK(!display.countdownShown || Terminated(display.countdown, LineSize));
    CHECK(Terminated(fx.wave, PathSize) && (!fx.playWave || strcmp(fx.wave, d.SoundWav) == 0));
    CHECK(event == ClockTimer ? fx.plan.clockMs >= 1 && fx.plan.clockMs <= 1000 + SecondMarginMs
                              : fx.plan.clockMs == 0);
    CHECK(fx.plan.deadlineMs <= (uint32_t)INT32_MAX && (fx.plan.deadline || fx.plan.deadlineMs == 0));
    CHECK(SamePersisted(pre, d));
    // An alarm is a raise and its sound: the wave, or the first beep.
    CHECK(fx.playWave == (fx.raise && d.SoundFormat != 0));
    CHECK(!fx.raise || d.SoundFormat != 0 || fx.beep);
    CHECK(!h.stopped || (!fx.raise && !fx.beep));
    if (fx.raise) {
        CHECK(h.alarm == Never || h.now - h.alarm >= MinAlarmGapMs);
        // The run the user started is over before it rings.
        CHECK(h.alarm != Never || h.now - h.started >= (uint64_t)(pre.DurationMs > 0 ? pre.DurationMs : 0));
        h.alarm = h.now;
    }
    // A sounding alarm beeps half a second apart at least, and never stays
    // silent a second once the clock's timer comes (a sleep of a whole number
    // of wraps, give or take a second, is one the tick count cannot see).
    if (fx.beep) {
        CHECK(h.beep == Never || h.now - h.beep >= MinBeepGapMs || fx.raise);
        h.beep = h.now;
    } else {
        uint32_t silent = (uint32_t)(h.now - h.beep);
        CHECK(!(event == ClockTimer && Sounding(pre) && Sounding(d) && h.beep != Never &&
                silent >= 1000 && silent <= UINT32_MAX - 1000));
    }
}

// The plan against the engine: a deadline message a millisecond before the
// planned one changes nothing; one at it acts (an end, a restart or a beep),
// unless the wait was capped at the longest a timer takes, or the tick count
// has gone half round since the run began, when it cannot tell how long ago.
void CheckDeadline(const ClockData& d, const Effects& fx, const Heard& h, const LocalTime& time)
{
    if (!fx.plan.deadline)
        return;
    for (uint32_t before : {1u, 0u}) {
        if (before > fx.plan.deadlineMs)
            continue;
        ClockData copy = d;
        ClockNow now = {h.Tick() + fx.plan.deadlineMs - before, time};
        Effects after;
        RunEngine(&copy, &now, DeadlineTimer, &after);
        bool acted = copy.StartTick != d.StartTick || copy.Running != d.Running || after.raise || after.beep;
        CHECK(before ? !acted
                     : acted || fx.plan.deadlineMs == (uint32_t)INT32_MAX || h.now - h.run >= 0x80000000u);
    }
}

// One setting of the record set to any value, as the file or the dialog may.
void ChangeSetting(Reader& in, ClockData* d, ClockData* expect)
{
    int32_t* fields[5] = {&d->TimerMinute, &d->TimerSecond, &d->Restart, &d->RestartSec,
                          &d->SoundFormat};
    uint8_t which = in.Byte() % 5;
    int32_t value = (int32_t)in.U32();
    *fields[which] = value;
    *(int32_t*)((char*)expect + ((char*)fields[which] - (char*)d)) = value;
    d->DurationMs = expect->DurationMs = PresetDurationMs(d->TimerMinute, d->TimerSecond);
}

// One formatter into a buffer of the given size: terminated inside it, nothing written past it.
void CheckFormatter(Reader& in, const LocalTime& time, const ClockData& d)
{
    char buf[LineSize + 16];
    memset(buf, 0x5a, sizeof buf);
    size_t size = in.U16() % (LineSize + 1);
    uint8_t which = in.Byte();
    int32_t a = (int32_t)in.U32(), b = (int32_t)in.U32();
    switch (which % 4) {
    case 0: FormatDateLine(buf, size, &time); break;
    case 1: FormatTimeLine(buf, size, &time, which & 4 ? d.TimerFormat : a); break;
    case 2: FormatRestartLine(buf, size, a, b); break;
    case 3: FormatCountdownLine(buf, size, a, b); break;
    }
    CHECK(size == 0 || Terminated(buf, size));
    for (size_t i = size; i < sizeof buf; ++i)
        CHECK(buf[i] == 0x5a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    Reader in = {bytes, size};
    ResetMemoryProfile();

    // (a) The settings file. A directory of 246 characters makes a path of
    // exactly 259, the longest that fits; 247 no longer fits, 300 not even WorkDir.
    uint16_t mask = in.U16();
    static const size_t DirLengths[4] = {13, 246, 247, 300};
    const std::string workDir = "/" + std::string(DirLengths[mask >> 11 & 3] - 1, 'd');
    memoryProfile.openable = !(mask & 0x2000);
    bool opens = memoryProfile.openable && (mask >> 11 & 3) < 2;
    std::string text[11];
    for (int k = 0; k < 11; ++k) {
        text[k] = IniKeys[k].value;
        if (mask & 1 << k) {
            size_t n = in.U16();
            n = n < in.n ? n : in.n;
            std::string value((const char*)in.p, n);
            in.p += n, in.n -= n;
            value = value.substr(0, value.find_first_of("\r\n"));  // a value ends with its line
            memoryProfile.Set(IniKeys[k].section, IniKeys[k].key, value);
            text[k] = value.c_str();  // the file holds no zero bytes
        }
        text[k] = text[k].substr(0, PathSize - 1);  // read through a MAX_PATH buffer
    }

    ClockData* d = (ClockData*)calloc(1, sizeof(ClockData));
    InitClockData(d, workDir.c_str());
    ClockData expect = {};
    if (opens) {
        int32_t* numbers[11] = {&expect.left, &expect.top, &expect.right, &expect.bottom,
                                &expect.TimerMinute, &expect.TimerSecond, &expect.TimerFormat,
                                &expect.SoundFormat, nullptr, &expect.Restart, &expect.RestartSec};
        for (int k = 0; k < 11; ++k)
            if (numbers[k])
                *numbers[k] = Number(text[k]);
        memcpy(expect.SoundWav, text[SoundWavKey].c_str(), text[SoundWavKey].size() + 1);
        if (expect.Restart == 0)
            expect.RestartSec = 10;
        expect.DurationMs = (int32_t)(uint32_t)((int64_t)expect.TimerMinute * 60000 +
                                                (int64_t)expect.TimerSecond * 1000);
    }
    CHECK(Terminated(d->SoundWav, PathSize));
    CHECK(SamePersisted(*d, expect));
    CHECK(d->Running == 0 && d->BeepPending == 0 && d->RestartArmed == 0 && d->StartTick == 0);

    // (b) Timer messages, commands, clock readings and the formatters.
    Heard h;
    LocalTime time = {2003, 2, 0, 9, 0, 0, 0, 0};
    while (in.n) {
        uint8_t op = in.Byte();
        EngineEvent event = (EngineEvent)(op >> 3 & 1);  // the clock's timer or the deadline's
        switch (op % 8) {
        case 0: h.now += 1000; break;
        case 1: h.now += in.U16(); break;
        case 2: h.now += in.U32(); break;               // a sleep, across the wrap
        case 3: h.now += (uint64_t)in.U32() << 4; break;  // up to two years asleep
        case 4: {
            uint16_t* f = &time.wYear;
            for (int i = 0; i < 8; ++i)
                f[i] = in.U16();
            continue;
        }
        case 5:
            event = op & 8 ? StartPressed : SettingsChanged;
            if (event == SettingsChanged)
                ChangeSetting(in, d, &expect);  // as OK in Settings may, at any moment
            break;
        case 6: event = StopPressed; break;
        case 7: CheckFormatter(in, time, *d); continue;
        }
        ClockData pre = *d;
        ClockNow now = {h.Tick(), time};
        Effects fx;
        memset(&fx, 0x5a, sizeof fx);  // every byte the shell reads must be written
        RunEngine(d, &now, event, &fx);
        if (event == StartPressed)
            h = Heard{h.now, h.now, Never, Never, false};
        if (event == StopPressed)
            h.stopped = true;
        if (d->StartTick != pre.StartTick || event == StartPressed) {
            h.run = h.now;
            // A restart comes no sooner than its delay after the nominal end,
            // which lies a preset after the start of the run before it. (A delay
            // is at least a second and at most what the tick count can time.)
            uint64_t start = h.now - (uint32_t)(h.Tick() - d->StartTick);
            int64_t run = pre.DurationMs > 0 ? pre.DurationMs : 0;
            int64_t delay = std::clamp<int64_t>(d->RestartSec * 1000LL, 1000, UINT32_MAX - 1 - run);
            if (pre.Running == 0 && event != StartPressed && h.start != Never)
                CHECK((int64_t)(start - h.start) - run >= delay);
            h.start = start;
        }
        CheckAnswer(pre, *d, event, fx, h);
        CheckDeadline(*d, fx, h, time);
    }
    CHECK(SamePersisted(*d, expect));  // the engine never touches the settings

    // Save and reload. The in-memory file keeps any text, so every saved value
    // comes back as it was.
    TransferSettings(d, 1);
    CHECK(memoryProfile.writes.size() == (opens ? 11u : 0u));
    if (opens) {
        const std::string* wave = memoryProfile.Find("SETTING", "SoundWav");
        const std::string* sec = memoryProfile.Find("SETTING", "RestartSec");
        CHECK(wave && *wave == d->SoundWav && sec && *sec == std::to_string(d->RestartSec));
    }
    ClockData* again = (ClockData*)calloc(1, sizeof(ClockData));
    InitClockData(again, workDir.c_str());
    CHECK(Terminated(again->SoundWav, PathSize));
    // What was saved loads back; a restart delay is kept only while restart is on.
    ClockData saved = *d;
    if (saved.Restart == 0)
        saved.RestartSec = 10;
    CHECK(!opens || SamePersisted(*again, saved));
    free(again);
    free(d);
    return 0;
}
