// Faults from outside: the session ending, a close or a second Settings
// command while the settings dialog is open, the process ended from outside
// after a change, and a table of bad settings files and working directories.
// Each must leave the program running, ending by itself with code 0 and
// saving what it should or nothing; ended from outside, the file must
// already hold every change the user made.
#include <stdio.h>

#include <memory>
#include <regex>

#include "driver.h"

using namespace e2e;
using Handle = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;

namespace {

Lines WindowKeys(const RECT& r)
{
    Lines all = SavedIni(r);
    return Lines(all.begin(), all.begin() + 5);
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An emptied directory e2e-work\\BadInput.NAME; with length, a directory
// below it whose full path has exactly that many characters.
std::string CaseDir(const std::string& name, size_t length)
{
    std::string dir = WorkDir("BadInput." + name);
    if (length) {
        if (length < dir.size() + 2)
            return std::string();
        dir += "\\" + std::string(length - dir.size() - 1, 'd');
        CreateDirectoryW(LongPath(dir).c_str(), NULL);
    }
    return dir;
}

// Compares line lists; on a difference names the first one, not the whole file.
testing::AssertionResult SameLines(const Lines& want, const Lines& got)
{
    if (want == got)
        return testing::AssertionSuccess();
    size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i])
        ++i;
    auto show = [](const Lines& l, size_t i) {
        return i < l.size() ? '"' + l[i].substr(0, 80) + (l[i].size() > 80 ? "...\"" : "\"")
                            : std::string("(end)");
    };
    return testing::AssertionFailure() << want.size() << " lines wanted, " << got.size()
                                       << " found; first difference at line " << i
                                       << ": wanted " << show(want, i) << ", found " << show(got, i);
}

// Top-level dialogs of the process, shown or not.
int DialogCount(HWND main)
{
    DWORD process = 0, pid = 0;
    GetWindowThreadProcessId(main, &process);
    int n = 0;
    for (HWND w : TopLevelWindows())
        n += GetWindowThreadProcessId(w, &pid) && pid == process && ClassName(w) == "#32770";
    return n;
}

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, WaitMs, &result))
        ADD_FAILURE() << "message " << message << " not answered within " << WaitMs << " ms";
    return (LRESULT)result;
}

// Opens the settings dialog, picks 7:30 and leaves it with button (IDOK or IDCANCEL).
testing::AssertionResult PickPreset(Velmaris& app, int button)
{
    HWND dialog = NULL;
    testing::AssertionResult opened = app.OpenSettings(&dialog);
    if (!opened)
        return opened;
    SendBounded(GetDlgItem(dialog, IDC_MINUTES), CB_SETCURSEL, 7, 0);
    SendBounded(GetDlgItem(dialog, IDC_SECONDS), CB_SETCURSEL, 30, 0);
    testing::AssertionResult ended = EndDialogWith(dialog, button);
    // Answered only once the Settings command has been handled to its end.
    Ask(app.Main(), WM_NULL);
    return ended;
}

// The program ends by itself with code 0, leaving the file as a close at r writes it.
testing::AssertionResult EndsAndSaves(Velmaris& app, const RECT& r)
{
    DWORD code = 99;
    testing::AssertionResult ended = app.WaitExit(&code);
    if (ended && code != 0)
        return testing::AssertionFailure() << "exit code " << code;
    return ended ? SameLines(SavedIni(r), FileLines(app.IniPath())) : ended;
}

// A real drag by 60, 40, as a user would make it.
testing::AssertionResult DragBy(Velmaris& app)
{
    BringToFront(app.Main());
    return Drag(app.Main(), 60, 40);
}

}  // namespace

TEST(Faults, SessionEndSavesOnceAsACloseWould)
{
    E2E_NEEDS_WINE("a drag with xdotool");
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    HWND main = app.Main();
    std::string ini;
    EXPECT_NE(0, SendBounded(main, WM_QUERYENDSESSION, 0, 0)) << "the session may end";
    SendBounded(main, WM_ENDSESSION, FALSE, 0);
    ASSERT_TRUE(ReadText(app.IniPath(), &ini));
    EXPECT_EQ("", ini) << "a session end that was called off saves nothing";

    RECT r = WindowRect(main);
    SendBounded(main, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(ReadText(app.IniPath(), &ini));
    EXPECT_TRUE(SameLines(SavedIni(r), IniLines(ini)));

    // Moved afterwards, dragged and the preset changed with OK: neither these
    // nor a second session end nor the close saves again.
    SetWindowPos(main, NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).left == 300; }, "the window moved"));
    ASSERT_TRUE(DragBy(app));
    EXPECT_TRUE(SameLines(SavedIni(r), FileLines(app.IniPath()))) << "after the drag";
    ASSERT_TRUE(PickPreset(app, IDOK));
    ASSERT_EQ(" 7:30", app.Line(IDC_COUNTDOWNLINE, 0));
    EXPECT_TRUE(SameLines(SavedIni(r), FileLines(app.IniPath()))) << "after OK";
    SendBounded(main, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(SameLines(SavedIni(r), FileLines(app.IniPath())));
    ASSERT_TRUE(app.Close());
    EXPECT_TRUE(SameLines(SavedIni(r), FileLines(app.IniPath())));
}

TEST(Faults, RestartManagerEndSavesThenClosesTheProgram)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    RECT r = WindowRect(app.Main());
    SendBounded(app.Main(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_TRUE(EndsAndSaves(app, r));
}

TEST(Faults, CloseUnderTheSettingsDialogCancelsItAndSaves)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    RECT r = WindowRect(app.Main());
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    SendBounded(GetDlgItem(dialog, IDC_MINUTES), CB_SETCURSEL, 7, 0);
    SendBounded(GetDlgItem(dialog, IDC_RESTART_ON), BM_CLICK, 0, 0);
    ASSERT_EQ(BST_CHECKED, SendBounded(GetDlgItem(dialog, IDC_RESTART_ON), BM_GETCHECK, 0, 0));
    app.PostClose();
    EXPECT_TRUE(EndsAndSaves(app, r)) << "the settings as before the dialog, its changes not applied";
}

TEST(Faults, CloseUnderTheFilePickerCancelsBothAndSaves)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    RECT r = WindowRect(app.Main());
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    Click(GetDlgItem(dialog, IDC_SOUND_WAVE));  // enables Browse
    Click(GetDlgItem(dialog, IDC_BROWSE));
    ASSERT_TRUE(WaitUntil([&] { return OwnedWindow(dialog) != NULL; }, "the file picker"));
    app.PostClose();
    EXPECT_TRUE(EndsAndSaves(app, r));
}

TEST(Faults, SecondSettingsCommandOpensNoSecondDialog)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    PostMessageA(app.Main(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
    // Posted messages come before paints: after a tick the command has been handled.
    ASSERT_TRUE(app.WaitTicks(1));
    EXPECT_EQ(1, DialogCount(app.Main()));
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    ASSERT_TRUE(app.WaitTicks(1));
    EXPECT_EQ(0, DialogCount(app.Main())) << "the refused command left nothing pending";
    ASSERT_TRUE(app.OpenSettings(&dialog)) << "Settings opens the dialog again";
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    ASSERT_TRUE(app.Close());
}

namespace {

const IniOverrides DefaultSettings = {}, Preset730 = {{"TimerMinute", "7"}, {"TimerSecond", "30"}};
const IniOverrides Preset730OverZeros = {{"TimerMinute", "7"}, {"TimerSecond", "30"},
    {"TimerFormat", "0"}, {"SoundWav", ""}, {"RestartSec", "0"}};

struct KilledAfter {
    const char* name;
    std::function<testing::AssertionResult(Velmaris&)> change;
    const IniOverrides* settings;  // the settings saved after the window keys; null: the file stays empty
    const char* countdown;  // the countdown line at the next start
    int held;               // the file held open without sharing: 1 until the kill, 2 at start-up
};

// Makes the change, ends the process from outside, checks the file and what
// the next start shows; appends what it saw to line.
void RunKilledAfter(const KilledAfter& c, std::string* line)
{
    *line = std::string(c.name) + ":";
    std::string dir = FreshWorkDir(), ini = dir + "\\Velmaris.ini";
    Handle held(nullptr, CloseHandle);
    if (c.held) {
        held.reset(CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL));
        ASSERT_NE(INVALID_HANDLE_VALUE, held.get());
    }
    RECT r = {};
    {
        Velmaris app;
        ASSERT_TRUE(app.Start(dir));
        if (c.held == 2)
            held.reset();
        ASSERT_TRUE(c.change(app));
        r = WindowRect(app.Main());
        EXPECT_EQ(NULL, OwnedWindow(app.Main())) << "no dialog or message left open";
        held.reset();
        ASSERT_TRUE(app.Kill()) << "still running until ended from outside";
    }
    std::string text;
    ASSERT_TRUE(ReadText(ini, &text));
    *line += " " + std::to_string(IniLines(text).size()) + " lines kept;";
    if (c.settings)
        EXPECT_TRUE(SameLines(SavedIni(r, *c.settings), IniLines(text)));
    else
        EXPECT_EQ("", text) << "nothing written";

    Velmaris again;
    ASSERT_TRUE(again.Start(dir));
    RECT shown = WindowRect(again.Main());
    std::string countdown = again.Line(IDC_COUNTDOWNLINE, 0);
    *line += " next start \"" + countdown + "\" at " + std::to_string(shown.left) + "," +
             std::to_string(shown.top);
    EXPECT_EQ(c.countdown, countdown);
    EXPECT_EQ(c.settings ? r.left : 100, shown.left) << "where the file put it, or the default";
    EXPECT_EQ(c.settings ? r.top : 100, shown.top);
    ASSERT_TRUE(again.Close());
}

}  // namespace

TEST(Faults, EndedFromOutsideAfterAChangeKeepsIt)
{
    E2E_NEEDS_WINE("drags with xdotool");
    auto okThenDrag = [](Velmaris& app) {
        testing::AssertionResult ok = PickPreset(app, IDOK);
        return ok ? DragBy(app) : ok;
    };
    const KilledAfter cases[] = {
        {"OK", [](Velmaris& app) { return PickPreset(app, IDOK); }, &Preset730, " 7:30", false},
        {"Cancel", [](Velmaris& app) { return PickPreset(app, IDCANCEL); }, nullptr, " 3:00",
         false},
        {"drag", DragBy, &DefaultSettings, " 3:00", false},
        {"OK, then drag", okThenDrag, &Preset730, " 7:30", false},
        // Unopenable: each save is skipped without a word, as at close.
        {"OK, then drag, file held open", okThenDrag, nullptr, " 3:00", true},
        {"OK, then drag, file held at start", okThenDrag, &Preset730OverZeros, " 7:30", 2},
    };
    std::string summary;
    for (const KilledAfter& c : cases) {
        SCOPED_TRACE(c.name);
        std::string line;
        RunKilledAfter(c, &line);  // on a failed step the line ends where the case stopped
        summary += line + "\n";
    }
    printf("\nEnded from outside (change: file after the kill; next start)\n%s", summary.c_str());
}

namespace {

// The directory a case runs in and what it holds there.
enum Holding { File, Directory, FileHeldOpen, FileReadShared, FileHeldAtStart };
// What the file holds after the close. Saved: the case's saved lines, then the
// window keys; SavedAfterOthers: foreign lines, then what a close writes.
enum Outcome { Saved, SavedAfterOthers, Unchanged, StillADirectory };

struct BadInput {
    const char* name;
    std::string content;     // of Velmaris.ini
    Holding holding;
    size_t dirLength;        // of the working directory's path; 0: a short one
    POINT at;                // where the window shows
    const char* countdown;   // the countdown line at start-up, at Stop and at the close
    const char* restart;     // the restart line
    bool twelveHour;         // the time line's form
    const char* running;     // the countdown line two ticks after Start (a pattern)
    Outcome outcome;
    Lines saved;             // with Saved: the file's lines before the window keys
    const char* held;        // what the file held after, in words
};

// Bytes of every value, the same on every run.
std::string Garbage(size_t n)
{
    std::string bytes(n, '\0');
    uint32_t x = 0x2545F491;
    for (char& c : bytes) {
        x = x * 1664525u + 1013904223u;
        c = (char)(x >> 24);
    }
    return bytes;
}

// Over 1 MB of a section the program does not own.
Lines Filler()
{
    Lines lines = {"[Filler]"};
    for (int i = 0; lines.size() < 16000; ++i)
        lines.push_back("key" + std::to_string(i) + "=" + std::string(60, 'a' + i % 26));
    return lines;
}

std::string Text(const Lines& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "\r\n";
    return text;
}

// Sets the case up, runs the program through start-up, a run and Stop, closes
// it and checks the file; appends what it saw to line.
void RunBadInput(const BadInput& c, std::string* line)
{
    char field[64];
    snprintf(field, sizeof field, "%-14s |", c.name);
    *line = field;
    std::string dir = CaseDir(c.name, c.dirLength);
    ASSERT_FALSE(dir.empty()) << "the test's own directory is longer than " << c.dirLength;
    std::string ini = dir + "\\Velmaris.ini";
    if (c.holding == Directory)
        ASSERT_TRUE(CreateDirectoryW(LongPath(ini).c_str(), NULL));
    else
        ASSERT_TRUE(WriteText(ini, c.content));
    Handle held(nullptr, CloseHandle);
    if (c.holding >= FileHeldOpen) {
        DWORD share = c.holding == FileReadShared ? FILE_SHARE_READ : 0;
        held.reset(CreateFileW(LongPath(ini).c_str(), GENERIC_READ | GENERIC_WRITE, share, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
        ASSERT_NE(INVALID_HANDLE_VALUE, held.get());
    }

    RECT r = {};
    {
        Velmaris app;
        ASSERT_TRUE(app.Start(dir));
        if (c.holding == FileHeldAtStart)
            held.reset();
        ASSERT_TRUE(app.WaitTicks(1));
        r = WindowRect(app.Main());
        std::string countdown = app.Line(IDC_COUNTDOWNLINE, 0), restart = app.Line(IDC_CLOCKLINES, 2),
                    time = app.Line(IDC_CLOCKLINES, 1);
        *line += " \"" + countdown + "\" \"" + restart + "\" at " + std::to_string(r.left) + "," +
                 std::to_string(r.top) + " |";
        EXPECT_EQ(c.countdown, countdown);
        EXPECT_EQ(c.restart, restart);
        EXPECT_TRUE(std::regex_match(time, std::regex(c.twelveHour
            ? "  (AM|PM) (0\\d|1[01]):[0-5]\\d:[0-5]\\d  " : "  ([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d  ")))
            << '"' << time << '"';
        EXPECT_EQ(c.at.x, r.left);
        EXPECT_EQ(c.at.y, r.top);

        app.Press(IDC_START);
        ASSERT_TRUE(app.WaitTicks(2));
        std::string ran = app.Line(IDC_COUNTDOWNLINE, 0);
        *line += " ran \"" + ran + "\" |";
        EXPECT_TRUE(std::regex_match(ran, std::regex(c.running))) << '"' << ran << '"';
        EXPECT_EQ(c.restart, app.Line(IDC_CLOCKLINES, 2));
        app.Press(IDC_STOP);
        Lines trace;
        EXPECT_TRUE(app.Watch(IDC_COUNTDOWNLINE, 0, &trace, [&](const Lines& t) {
            return !t.empty() && t.back() == c.countdown;
        }, "Stop to show the preset"));
        ASSERT_TRUE(app.Close());
    }
    held.reset();

    std::string text;
    bool isFile = ReadText(ini, &text);
    DWORD attributes = GetFileAttributesW(LongPath(ini).c_str());
    Lines lines = IniLines(text);
    switch (c.outcome) {
    case Saved:
        EXPECT_TRUE(isFile);
        EXPECT_TRUE(SameLines(c.saved + WindowKeys(r), lines));
        break;
    case SavedAfterOthers: {
        Lines want = SavedIni(r);
        EXPECT_TRUE(isFile);
        ASSERT_GT(lines.size(), want.size()) << "the foreign lines kept before the saved ones";
        EXPECT_TRUE(SameLines(want, Lines(lines.end() - want.size(), lines.end())));
        for (size_t i = 0; i < lines.size() - want.size(); ++i)
            EXPECT_TRUE(lines[i] != "[WINDOW]" && lines[i] != "[SETTING]") << i;
        break;
    }
    case Unchanged:
        EXPECT_TRUE(isFile && text == c.content) << "the file as it was";
        break;
    case StillADirectory:
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
        break;
    }
    *line += std::string(" ") + c.held;
    if (isFile)
        *line += " (" + std::to_string(c.content.size()) + " -> " + std::to_string(text.size()) +
                 " bytes)";
    // The 1 MB and 10k files need not stay.
    RemoveTree(c.dirLength ? dir.substr(0, dir.rfind('\\')) : dir);
}

}  // namespace

TEST(BadInput, EachCaseRunsEndsByItselfAndSavesWhatItShould)
{
    const std::string wav = "C:\\" + std::string(10000, 'w');
    const Lines filler = Filler();
    const BadInput cases[] = {
        {"garbage", Garbage(4096), File, 0, {100, 100}, " 3:00", "  OFF:00sec.", false,
         " 2:5[0-9]", SavedAfterOthers, {},
         "both sections appended after the garbage (which the profile calls re-encode)"},
        {"1MB", Text(Lines{"[SETTING]", "TimerMinute=7", "TimerSecond=5"} + filler), File, 0,
         {100, 100}, " 7:05", "  OFF:00sec.", false, " 7:0[0-4]", Saved,
         Lines{"[SETTING]", "TimerMinute=7", "TimerSecond=5", "TimerFormat=1", "SoundFormat=0",
               "SoundWav=DEFAULT", "Restart=0", "RestartSec=10"} + filler,
         "7 keys in [SETTING], the filler kept, [WINDOW] appended"},
        // A value is read through 259 characters: the minutes' 5 lies beyond them.
        {"10k-lines",
         "[SETTING]\r\nTimerMinute=" + std::string(9999, '0') + "5\r\nTimerSecond=7" +
             std::string(9999, 'x') + "\r\nSoundWav=" + wav + "\r\nRestart=1\r\nRestartSec=12" +
             std::string(9998, ' ') + "\r\n" + std::string(10000, 'k') + "=" + std::string(10000, 'v') +
             "\r\n[" + std::string(10000, 'S') + "]\r\nkey=value\r\n",
         File, 0, {100, 100}, " 0:07", "  ON:12sec.", false, " 0:0[2-5]", Saved,
         {"[SETTING]", "TimerMinute=0", "TimerSecond=7", "SoundWav=" + wav.substr(0, 259),
          "Restart=1", "RestartSec=12", std::string(10000, 'k') + "=" + std::string(10000, 'v'),
          "TimerFormat=1", "SoundFormat=0", "[" + std::string(10000, 'S') + "]", "key=value"},
         "values cut to 259 characters and saved so, long key and section kept"},
        // Only the first [SETTING] is read, and there only the first TimerMinute.
        {"duplicates",
         "[SETTING]\r\nTimerMinute=1\r\nTimerMinute=2\r\nRestart=1\r\n[Other]\r\nkeep=1\r\n"
         "[SETTING]\r\nTimerMinute=3\r\nTimerSecond=4\r\nRestartSec=20\r\n",
         File, 0, {100, 100}, " 1:00", "  ON:10sec.", false, " 0:5[0-9]", Saved,
         {"[SETTING]", "TimerMinute=1", "TimerMinute=2", "Restart=1", "TimerSecond=0",
          "TimerFormat=1", "SoundFormat=0", "SoundWav=DEFAULT", "RestartSec=10", "[Other]",
          "keep=1", "[SETTING]", "TimerMinute=3", "TimerSecond=4", "RestartSec=20"},
         "first section and first key read and written, the copies kept"},
        // Numbers saturate at 32 bits; the preset's length wraps below zero, so a
        // run ends at its first tick.
        {"beyond-32-bits",
         "[SETTING]\r\nTimerMinute=4294967296\r\nTimerSecond=99999999999999999999\r\n"
         "TimerFormat=8589934592\r\nRestart=4294967297\r\nRestartSec=-99999999999\r\n",
         File, 0, {100, 100}, " 2147483647:2147483647", "  ON:-2147483648sec.", false,
         " 2147483647:2147483647", Saved,
         {"[SETTING]", "TimerMinute=2147483647", "TimerSecond=2147483647", "TimerFormat=2147483647",
          "Restart=2147483647", "RestartSec=-2147483648", "SoundFormat=0", "SoundWav=DEFAULT"},
         "the saturated values saved"},
        // A preset of -1:90 lasts 30 s.
        {"negative",
         "[SETTING]\r\nTimerMinute=-1\r\nTimerSecond=90\r\nRestart=1\r\nRestartSec=-5\r\n", File, 0,
         {100, 100}, " -1:90", "  ON:-5sec.", false, " 0:2[5-8]", Saved,
         {"[SETTING]", "TimerMinute=-1", "TimerSecond=90", "Restart=1", "RestartSec=-5",
          "TimerFormat=1", "SoundFormat=0", "SoundWav=DEFAULT"}, "saved as read"},
        {"directory", "", Directory, 0, {0, 0}, " 0:00", "  OFF:00sec.", true, " 0:00",
         StillADirectory, {}, "still an empty directory"},
        {"held-open", "[SETTING]\r\nTimerMinute=7\r\n", FileHeldOpen, 0, {0, 0}, " 0:00",
         "  OFF:00sec.", true, " 0:00", Unchanged, {}, "unchanged, save skipped"},
        {"read-shared", "[SETTING]\r\nTimerMinute=7\r\n", FileReadShared, 0, {100, 100}, " 7:00",
         "  OFF:00sec.", false, " 6:5[6-8]", Unchanged, {}, "read; unchanged, save skipped"},
        {"held-at-start", "[SETTING]\r\nTimerMinute=7\r\n", FileHeldAtStart, 0, {0, 0}, " 0:00",
         "  OFF:00sec.", true, " 0:00", Unchanged, {}, "unchanged: released, but never read"},
        // The file's path is the directory, a backslash and 12 characters: it
        // fits MAX_PATH with its zero up to a 246-character directory.
        {"dir-246", "[SETTING]\r\nTimerSecond=6\r\n", File, 246, {100, 100}, " 3:06",
         "  OFF:00sec.", false, " 3:0[2-4]", Saved,
         {"[SETTING]", "TimerSecond=6", "TimerMinute=3", "TimerFormat=1", "SoundFormat=0",
          "SoundWav=DEFAULT", "Restart=0", "RestartSec=10"},
         "read, and saved in full (a 259-character path)"},
        {"dir-247", "[SETTING]\r\nTimerSecond=6\r\n", File, 247, {0, 0}, " 0:00", "  OFF:00sec.",
         true, " 0:00", Unchanged, {}, "unchanged: a 260-character path is not tried"},
        // The longest current directory Wine's CreateProcess passes on: at 259 the
        // child does not start, at 260 to 262 it starts in the Windows directory.
        {"dir-258", "[SETTING]\r\nTimerSecond=6\r\n", File, 258, {0, 0}, " 0:00", "  OFF:00sec.",
         true, " 0:00", Unchanged, {}, "unchanged"},
    };
    std::string summary;
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.name);
        std::string line = c.name;
        RunBadInput(c, &line);  // on a failed step the line ends where the case stopped
        summary += line + "\n";
    }
    printf("\nBad-input matrix (case | countdown and restart lines, window corner | countdown two"
           " ticks after Start | file after the close)\n%s",
           summary.c_str());
}
