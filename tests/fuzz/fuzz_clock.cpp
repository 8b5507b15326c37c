// libFuzzer target: an arbitrary Velmaris.ini loaded into a fresh record, a
// run of ticks, Start and Stop at arbitrary tick counts and local times, then
// a save and a reload. The checks live here; the host and the profile are the
// unit tests' fake and in-memory ones.
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

#include <string>
#include <vector>

#include "clock.h"
#include "fake_host.h"
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

FakeHost& host = fakeHost;
enum { SoundWavKey = 8, RestartSecKey = 10 };

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

std::string Line(const char* format, int a, int b)
{
    char text[LineSize];
    snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Preset(const ClockData& d) { return Line(" %d:%02d", d.TimerMinute, d.TimerSecond); }

bool Gate(const ClockData& d) { return d.RestartArmed == 1 && d.Restart == 1 && d.Running == 0; }
bool Beeping(const ClockData& d) { return d.Running == 0 && d.SoundFormat == 0 && d.BeepPending == 1; }
uint32_t End(const ClockData& d) { return d.StartTick + (uint32_t)d.DurationMs; }
uint32_t RestartAt(const ClockData& d) { return End(d) + (uint32_t)d.RestartSec * 1000u; }

// The engine's rules for one timer message, from the record before it (pre)
// and after it (d): a clock tick always evaluates, a deadline only when the
// countdown's next moment has come, a command (NoTimer) never.
void CheckTick(const ClockData& pre, const ClockData& d, TimerFired fired, const TimerPlan& plan)
{
    uint32_t now = host.tick;
    bool gate = Gate(pre);
    bool pending = pre.Running != 0 || (gate && (int32_t)(RestartAt(pre) - pre.StartTick) > 0) ||
                   (!gate && Beeping(pre));
    uint32_t next = pre.Running ? End(pre) : gate ? RestartAt(pre) + 1u : pre.BeepTick;
    bool evaluates = fired == ClockTimer || (fired == DeadlineTimer && pending && (int32_t)(next - now) <= 0);
    CHECK(plan.clockMs == (fired == ClockTimer ? 1002u - host.time.wMilliseconds % 1000u : 0u));
    if (fired == ClockTimer) {
        CHECK(host.boxes[ClockLines].size() == 3);
        CHECK(host.boxes[ClockLines][2] == (d.Restart ? Line("  ON:%02dsec.", d.RestartSec, 0)
                                                      : std::string("  OFF:00sec.")));
    }
    if (!evaluates) {
        CHECK(memcmp(&pre, &d, sizeof d) == 0 && host.raises + host.beeps + host.waves == 0);
        return;
    }
    bool restarted = gate && (int32_t)(RestartAt(pre) + 1u - now) <= 0;
    bool late = (int32_t)(RestartAt(pre) + (uint32_t)pre.DurationMs - now) <= 0;
    uint32_t start = !restarted ? pre.StartTick : late ? now : RestartAt(pre);
    bool counting = pre.Running != 0 || restarted;
    bool expired = counting && (int32_t)(start + (uint32_t)pre.DurationMs - now) <= 0;
    CHECK(d.StartTick == start);
    CHECK(d.Running == (counting && !expired ? 1 : 0));
    CHECK(host.raises == (expired ? 1 : 0));
    CHECK(host.waves == (expired && d.SoundFormat != 0 ? 1 : 0));
    int32_t beep = gate ? 0 : pre.BeepPending;
    CHECK(d.BeepPending == (expired && d.SoundFormat == 0 ? 1 : beep));
    if (expired)
        CHECK(host.boxes[CountdownLine].size() == 1 && host.boxes[CountdownLine][0] == Preset(d));
    CHECK(host.waves == 0 || host.lastWave == d.SoundWav);
    bool beeps = Beeping(d) && (expired || (int32_t)(pre.BeepTick - now) <= 0);
    CHECK(host.beeps == (beeps ? 1 : 0));
    if (beeps) {
        // The next beep: on a whole second from the end, or half a second on after a late one.
        uint32_t wait = d.BeepTick - now;
        CHECK(wait >= MinBeepGapMs && wait <= 1000);
        int64_t sinceEnd = (int64_t)(int32_t)(now - End(d)) + wait;
        CHECK(sinceEnd % 1000 == 0 || wait == MinBeepGapMs);
    }
    CHECK(d.Running == 0 || d.RestartArmed == 1);
    CHECK(d.SoundFormat == 0 || d.BeepPending == 0);
    if (d.Running) {
        // Still counting: the line shows what is left, truncated to whole seconds.
        int32_t left = (int32_t)(d.StartTick + (uint32_t)d.DurationMs - host.tick);
        CHECK(left > 0);
        CHECK(host.boxes[CountdownLine].size() == 1);
        CHECK(host.boxes[CountdownLine][0] == Line(" %d:%02d", left / 60000, left / 1000 % 60));
    }
}

// The planned deadline against the engine: a deadline message a millisecond
// before it changes nothing, one at it acts (an end, a restart or a beep).
// Without a deadline only a restart of period zero or less waits, for the clock.
void CheckDeadline(const ClockData& d, const TimerPlan& plan)
{
    if (!plan.deadline) {
        CHECK(d.Running == 0 && (Gate(d) ? (int32_t)(RestartAt(d) - d.StartTick) <= 0 : !Beeping(d)));
        return;
    }
    FakeHost saved = host;
    uint32_t deadline = host.tick + plan.deadlineMs;
    for (uint32_t at : {deadline - 1, deadline}) {
        if (at == deadline - 1 && plan.deadlineMs == 0)
            continue;
        ClockData copy = d;
        ClockNow now = {at, host.time};
        TimerPlan after;
        host.raises = host.beeps = 0;
        RunTimers(nullptr, &copy, &now, DeadlineTimer, &after);
        bool acted = copy.StartTick != d.StartTick || copy.Running != d.Running || host.raises || host.beeps;
        CHECK(acted == (at == deadline));
    }
    host = saved;
}

// One formatter into a buffer of the given size: terminated inside it, nothing written past it.
void CheckFormatter(Reader& in, const ClockData& d)
{
    char buf[LineSize + 16];
    memset(buf, 0x5a, sizeof buf);
    size_t size = in.U16() % (LineSize + 1);
    uint8_t which = in.Byte();
    int32_t a = (int32_t)in.U32(), b = (int32_t)in.U32();
    switch (which % 4) {
    case 0: FormatDateLine(buf, size, &host.time); break;
    case 1: FormatTimeLine(buf, size, &host.time, which & 4 ? d.TimerFormat : a); break;
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
    ResetFakeHost();
    host.record = false;  // the checks read the boxes and the counts only
    host.rectOk = false;
    ResetMemoryProfile();

    // (a) The settings file. A directory of 246 characters makes a path of
    // exactly 259, the longest that fits; 247 no longer fits, 300 not even WorkDir.
    uint16_t mask = in.U16();
    static const size_t DirLengths[4] = {13, 246, 247, 300};
    host.currentDir = "/" + std::string(DirLengths[mask >> 11 & 3] - 1, 'd');
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
            memoryProfile.Set(IniKeys[k].section, IniKeys[k].key, value);
            text[k] = value.c_str();  // the file holds no zero bytes
        }
        text[k] = text[k].substr(0, PathSize - 1);  // read through a MAX_PATH buffer
    }

    ClockData* d = (ClockData*)calloc(1, sizeof(ClockData));
    InitClockData(d);
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

    // (b) Ticks, commands and the formatters.
    while (in.n) {
        host.raises = host.beeps = host.waves = 0;
        uint8_t op = in.Byte();
        switch (op % 8) {
        case 0: host.tick += 1000; break;
        case 1: host.tick += in.U16(); break;
        case 2: host.tick = in.U32(); break;
        case 3: host.tick -= in.U16(); break;
        case 4: {
            uint16_t* f = &host.time.wYear;
            for (int i = 0; i < 8; ++i)
                f[i] = in.U16();
            continue;
        }
        case 5: {
            int32_t beep = d->BeepPending;
            StartTimer(d, host.tick);
            CHECK(d->StartTick == host.tick && d->Running == 1 && d->RestartArmed == 1);
            CHECK(d->BeepPending == beep);
            continue;
        }
        case 6:
            StopTimer(d);
            CHECK(d->Running == 0 && d->BeepPending == 0 && d->RestartArmed == 0);
            CHECK(host.boxes[CountdownLine].size() == 1);
            CHECK(host.boxes[CountdownLine][0] == Preset(*d));
            continue;
        case 7: CheckFormatter(in, *d); continue;
        }
        ClockData pre = *d;
        TimerFired fired = (TimerFired)((op >> 3) % 3);
        ClockNow now = {host.tick, host.time};
        TimerPlan plan;
        RunTimers(nullptr, d, &now, fired, &plan);
        CheckTick(pre, *d, fired, plan);
        CheckDeadline(*d, plan);
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
    InitClockData(again);
    CHECK(Terminated(again->SoundWav, PathSize));
    CHECK(SamePersisted(*again, *d));
    free(again);
    free(d);
    return 0;
}
