// The settings dialog as a user meets it: what it shows when it opens, what
// OK and Cancel do to the running program and to the saved file, the boxes'
// typed values, the file picker, and the alarm sound it chooses.
//
// The Sound suite needs run-e2e.sh --audio: the default sound device is then
// a file (E2E_CAPTURE, one more per opening of the device) that each test
// empties before it starts Velmaris, and the beeps are counted in a relay
// log of MessageBeep that lands in E2E_LOG.
#include <stdio.h>
#include <stdlib.h>

#include <regex>
#include <sstream>
#include <tuple>

#include "driver.h"

#include <dlgs.h>  // the file picker's controls

using namespace e2e;

namespace {

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
bool Checked(HWND dialog, int id) { return Ask(Item(dialog, id), BM_GETCHECK) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }
int Selected(HWND dialog, int id) { return (int)Ask(Item(dialog, id), CB_GETCURSEL); }

std::string Text(HWND dialog, int id) { return ControlText(Item(dialog, id)); }

// A click that opens no modal loop, so it can be sent and done with.
void Tick(HWND dialog, int id) { Ask(Item(dialog, id), BM_CLICK); }

// A pick from a combo box's list, with the notification the list sends.
void Choose(HWND dialog, int id, int index)
{
    HWND box = Item(dialog, id);
    Ask(box, CB_SETCURSEL, index);
    Ask(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)box);
}

// The edit a control types into: itself, or the edit field within it.
HWND EditOf(HWND control)
{
    if (ClassName(control) == "Edit")
        return control;
    for (HWND child = GetWindow(control, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND edit = EditOf(child))
            return edit;
    return NULL;
}

// Typing over the whole text of an edit, or of a combo box's edit field.
void Type(HWND dialog, int id, const std::string& text)
{
    HWND field = EditOf(Item(dialog, id));
    Ask(field, EM_SETSEL, 0, -1);
    Ask(field, WM_CHAR, VK_BACK, 1);
    for (char c : text)
        Ask(field, WM_CHAR, (WPARAM)(unsigned char)c, 1);
}

std::string IniValue(const Velmaris& app, const std::string& key)
{
    std::string text;
    if (!ReadText(app.IniPath(), &text))
        return "(no file)";
    for (const std::string& line : IniLines(text))
        if (line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    return "(no " + key + ")";
}

// What the dialog shows of the settings, in the order a user reads it.
struct Shown {
    int minutes, seconds;  // selected items, -1 for none
    bool hours24, ampm, soundDefault, wave;
    std::string path;
    bool pathEnabled, browseEnabled, restart;
    int restartItem;
    bool restartEnabled;
    auto Fields() const
    {
        return std::tie(minutes, seconds, hours24, ampm, soundDefault, wave, path, pathEnabled,
                        browseEnabled, restart, restartItem, restartEnabled);
    }
    bool operator==(const Shown& o) const { return Fields() == o.Fields(); }
};

void PrintTo(const Shown& s, std::ostream* os)
{
    *os << "{min item " << s.minutes << ", sec item " << s.seconds << ", 24h " << s.hours24
        << ", AM/PM " << s.ampm << ", Default " << s.soundDefault << ", Wave " << s.wave
        << ", path \"" << s.path << "\" enabled " << s.pathEnabled << ", Browse enabled "
        << s.browseEnabled << ", ON/OFF " << s.restart << ", restart item " << s.restartItem
        << " enabled " << s.restartEnabled << "}";
}

// The radio buttons Tab stops at, by ID: the checked one of each group.
std::vector<int> RadioTabStops(HWND d)
{
    std::vector<int> ids;
    for (int id : {IDC_FORMAT_AMPM, IDC_FORMAT_24H, IDC_SOUND_DEFAULT, IDC_SOUND_WAVE})
        if (Style(Item(d, id)) & WS_TABSTOP)
            ids.push_back(id);
    return ids;
}

Shown Read(HWND d)
{
    return {Selected(d, IDC_MINUTES), Selected(d, IDC_SECONDS), Checked(d, IDC_FORMAT_24H), Checked(d, IDC_FORMAT_AMPM),
            Checked(d, IDC_SOUND_DEFAULT), Checked(d, IDC_SOUND_WAVE), Text(d, IDC_WAVE_PATH),
            Enabled(d, IDC_WAVE_PATH), Enabled(d, IDC_BROWSE), Checked(d, IDC_RESTART_ON),
            Selected(d, IDC_RESTART_SEC), Enabled(d, IDC_RESTART_SEC)};
}

}  // namespace

TEST(Dialog, OpensWithTheDefaultsAndAPresetChangeShowsAtOnceDuringARun)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    app.Press(IDC_START);
    Lines trace = {" 3:00"};
    ASSERT_TRUE(app.Watch(IDC_COUNTDOWNLINE, 0, &trace, [](const Lines& t) {
        int left = SecondsShown(t.back());
        return left >= 0 && left <= 178;
    }, "the run to reach 2:58"));

    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    EXPECT_EQ("", ControlText(dialog));
    EXPECT_EQ(app.Main(), GetWindow(dialog, GW_OWNER));
    const LONG frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME;
    EXPECT_EQ(WS_POPUP | WS_CAPTION | DS_MODALFRAME, Style(dialog) & frame) << std::hex << Style(dialog);
    EXPECT_TRUE(ExStyle(dialog) & WS_EX_TOOLWINDOW) << std::hex << ExStyle(dialog);

    // Child windows come in template order, which is the tab order; of each
    // radio group only the checked button is a tab stop.
    const struct { int id; const char* cls; const char* text; LONG style, mask; } controls[] = {
        {IDOK, "Button", Caption("确定", "OK"), BS_DEFPUSHBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP},
        {IDCANCEL, "Button", Caption("取消", "Cancel"), BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP},
        {IDC_TIMER_GROUP, "Button", Caption("计时器", "Timer"), BS_GROUPBOX, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_MINUTES_LABEL, "Static", Caption("分", "min"), WS_GROUP, SS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_SECONDS_LABEL, "Static", Caption("秒", "sec"), WS_GROUP, SS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_FORMAT_GROUP, "Button", Caption("时间显示", "Time display"), BS_GROUPBOX | WS_GROUP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_FORMAT_24H, "Button", Caption("24小时制", "24-hour"), BS_AUTORADIOBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_FORMAT_AMPM, "Button", "AM/PM", BS_AUTORADIOBUTTON, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_SOUND_GROUP, "Button", Caption("提示音", "Alert sound"), BS_GROUPBOX | WS_GROUP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_SOUND_DEFAULT, "Button", Caption("默认", "Default"), BS_AUTORADIOBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_SOUND_WAVE, "Button", "Wave", BS_AUTORADIOBUTTON, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_WAVE_PATH, "Edit", "", ES_AUTOHSCROLL | WS_TABSTOP, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP},
        {IDC_BROWSE, "Button", Caption("浏览", "Browse..."), BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_MINUTES, "ComboBox", "3", CBS_DROPDOWN | WS_TABSTOP, 3 | WS_TABSTOP | WS_GROUP},
        {IDC_SECONDS, "ComboBox", "0", CBS_DROPDOWN | WS_TABSTOP, 3 | WS_TABSTOP | WS_GROUP},
        {IDC_RESTART_GROUP, "Button", Caption("再启动", "Restart"), BS_GROUPBOX | WS_GROUP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_RESTART_ON, "Button", "ON/OFF", BS_AUTOCHECKBOX | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP | WS_GROUP},
        {IDC_RESTART_SEC, "ComboBox", "10", CBS_DROPDOWN | WS_TABSTOP, 3 | WS_TABSTOP | WS_GROUP},
        {IDC_RESTART_LABEL, "Static", Caption("秒", "sec"), WS_GROUP, SS_TYPEMASK | WS_TABSTOP | WS_GROUP},
    };
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(child != NULL) << "fewer controls than the template has";
        EXPECT_EQ(c.id, GetDlgCtrlID(child));
        EXPECT_EQ(c.cls, ClassName(child));
        EXPECT_EQ(c.text, ControlText(child));
        EXPECT_EQ(c.style, Style(child) & c.mask) << std::hex << Style(child);
        EXPECT_TRUE(IsWindowVisible(child));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_TRUE(child == NULL) << "a control beyond the template: " << GetDlgCtrlID(child);

    const int counts[][2] = {{IDC_MINUTES, 61}, {IDC_SECONDS, 60}, {IDC_RESTART_SEC, 60}};
    for (const auto& box : counts)
        EXPECT_EQ(box[1], Ask(Item(dialog, box[0]), CB_GETCOUNT)) << box[0];
    EXPECT_EQ((Shown{3, 0, true, false, true, false, "", false, false, false, 9, false}),
              Read(dialog));
    EXPECT_FALSE(IsWindowEnabled(app.Main()));

    // 1:30 from a run with at most 2:58 left: the line shows 1:30 as OK ends
    // the dialog and then counts on from the run's own start. Right after a tick,
    // so the next rarely hides the 1:30; if it did (the time line turned first), unchecked.
    Choose(dialog, IDC_MINUTES, 1);
    Choose(dialog, IDC_SECONDS, 30);
    ASSERT_TRUE(app.WaitTicks(1));
    trace = {""};
    ASSERT_TRUE(WaitUntil([&] { return SecondsShown(trace[0] = app.Line(IDC_COUNTDOWNLINE, 0)) >= 0; },
                          "the countdown line"));
    const int before = SecondsShown(trace[0]);
    std::string time = app.Line(IDC_CLOCKLINES, 1), timeAtFirstLook;
    ASSERT_TRUE(EndDialogWith(dialog, IDOK));
    ASSERT_TRUE(app.Watch(IDC_COUNTDOWNLINE, 0, &trace, [&](const Lines& t) {
        if (t.size() == 2 && timeAtFirstLook.empty())
            timeAtFirstLook = app.Line(IDC_CLOCKLINES, 1);
        return t.size() > 2;
    }, "1:30 and the next tick"));
    EXPECT_TRUE(trace[1] == " 1:30" || timeAtFirstLook != time) << trace[1];
    int after = SecondsShown(trace[2]);
    EXPECT_GE(after, 0) << trace[2];
    EXPECT_LE(after, before - 90) << trace[2] << " after " << trace[0];
    app.Press(IDC_STOP);
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("1", IniValue(app, "TimerMinute"));
    EXPECT_EQ("30", IniValue(app, "TimerSecond"));
}

TEST(Dialog, CancelChangesNothingAndTheRadioButtonsFormTwoGroups)
{
    const char ini[] = "[SETTING]\r\nTimerMinute=0\r\nTimerSecond=45\r\nTimerFormat=1\r\n"
                       "SoundFormat=0\r\nRestart=1\r\nRestartSec=25\r\n";
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir(ini)));
    const Shown opened = {0, 45, true, false, true, false, "", false, false, true, 24, true};
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    ASSERT_EQ(opened, Read(dialog));

    // Each click moves the check within its own group only.
    Tick(dialog, IDC_FORMAT_AMPM);
    EXPECT_EQ((Shown{0, 45, false, true, true, false, "", false, false, true, 24, true}), Read(dialog));
    Tick(dialog, IDC_SOUND_WAVE);
    EXPECT_EQ((Shown{0, 45, false, true, false, true, "", true, true, true, 24, true}), Read(dialog));
    Tick(dialog, IDC_FORMAT_24H);
    Tick(dialog, IDC_RESTART_ON);
    EXPECT_EQ((Shown{0, 45, true, false, false, true, "", true, true, false, 24, false}), Read(dialog));
    Tick(dialog, IDC_FORMAT_AMPM);
    Type(dialog, IDC_WAVE_PATH, "C:\\x.wav");
    Choose(dialog, IDC_MINUTES, 5);
    Choose(dialog, IDC_SECONDS, 10);
    Choose(dialog, IDC_RESTART_SEC, 2);
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));

    ASSERT_TRUE(app.OpenSettings(&dialog));
    EXPECT_EQ(opened, Read(dialog)) << "the next opening shows the settings, not the abandoned edits";
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    EXPECT_EQ(Lines{" 0:45"}, app.Lines(IDC_COUNTDOWNLINE));
    ASSERT_TRUE(app.WaitTicks(1));
    EXPECT_EQ("  ON:25sec.", app.Line(IDC_CLOCKLINES, 2));
    EXPECT_TRUE(std::regex_match(app.Line(IDC_CLOCKLINES, 1), std::regex("  \\d\\d:\\d\\d:\\d\\d  ")))
        << app.Line(IDC_CLOCKLINES, 1);
    ASSERT_TRUE(app.Close());
    const Lines saved = {"TimerMinute=0", "TimerSecond=45", "TimerFormat=1", "SoundFormat=0",
                         "SoundWav=DEFAULT", "Restart=1", "RestartSec=25"};
    for (const std::string& line : saved) {
        size_t eq = line.find('=');
        EXPECT_EQ(line.substr(eq + 1), IniValue(app, line.substr(0, eq))) << line;
    }
}

TEST(Dialog, OkAppliesTheClicksAndAnUncheckedRestartKeepsItsSeconds)
{
    std::string dir = FreshWorkDir(
        "[SETTING]\r\nSoundFormat=1\r\nSoundWav=C:\\a.wav\r\nRestart=1\r\nRestartSec=25\r\n");
    {
        Velmaris app;
        ASSERT_TRUE(app.Start(dir));
        HWND dialog = NULL;
        ASSERT_TRUE(app.OpenSettings(&dialog));
        ASSERT_TRUE(Checked(dialog, IDC_RESTART_ON));
        EXPECT_EQ((std::vector<int>{IDC_FORMAT_24H, IDC_SOUND_WAVE}), RadioTabStops(dialog));
        Tick(dialog, IDC_FORMAT_AMPM);
        Choose(dialog, IDC_RESTART_SEC, 4);  // not read once the box is unchecked
        Tick(dialog, IDC_RESTART_ON);
        EXPECT_FALSE(Enabled(dialog, IDC_RESTART_SEC));
        ASSERT_TRUE(EndDialogWith(dialog, IDOK));
        ASSERT_TRUE(app.WaitTicks(1));
        EXPECT_EQ("  OFF:00sec.", app.Line(IDC_CLOCKLINES, 2));
        EXPECT_TRUE(std::regex_match(app.Line(IDC_CLOCKLINES, 1),
                                     std::regex("  (AM|PM) (0\\d|1[01]):\\d\\d:\\d\\d  ")))
            << app.Line(IDC_CLOCKLINES, 1);
        ASSERT_TRUE(app.Close());
        EXPECT_EQ("0", IniValue(app, "TimerFormat"));
        EXPECT_EQ("0", IniValue(app, "Restart"));
        EXPECT_EQ("25", IniValue(app, "RestartSec"));
    }
    Velmaris app;  // with restart off the file's seconds are not read
    ASSERT_TRUE(app.Start(dir));
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    EXPECT_EQ((Shown{3, 0, false, true, false, true, "C:\\a.wav", true, true, false, 9, false}),
              Read(dialog));
    EXPECT_EQ((std::vector<int>{IDC_FORMAT_AMPM, IDC_SOUND_WAVE}), RadioTabStops(dialog));
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    ASSERT_TRUE(app.Close());
}

TEST(Dialog, TypedNumbersWithinTheListCountAndAnythingElseKeepsTheSetting)
{
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir(
        "[SETTING]\r\nTimerMinute=2\r\nTimerSecond=15\r\nRestart=1\r\nRestartSec=20\r\n")));
    // One OK per row; each kept value is the one its row's dialog opened with.
    // The parsing rules themselves are the core's (BoxValue, in the unit tests).
    const struct { const char *minutes, *seconds, *restart; int m, s, r; } rows[] = {
        {"09", "59", "07", 9, 59, 7},
        {"61", "5x", "", 9, 59, 7},
    };
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.minutes) + " / " + row.seconds + " / " + row.restart);
        Type(dialog, IDC_MINUTES, row.minutes);
        Type(dialog, IDC_SECONDS, row.seconds);
        Type(dialog, IDC_RESTART_SEC, row.restart);
        ASSERT_EQ(row.seconds, Text(dialog, IDC_SECONDS));
        ASSERT_TRUE(EndDialogWith(dialog, IDOK));
        ASSERT_TRUE(app.OpenSettings(&dialog));
        char countdown[16];
        snprintf(countdown, sizeof countdown, " %d:%02d", row.m, row.s);
        EXPECT_EQ(countdown, app.Line(IDC_COUNTDOWNLINE, 0));
        EXPECT_EQ(row.m, Selected(dialog, IDC_MINUTES));
        EXPECT_EQ(row.s, Selected(dialog, IDC_SECONDS));
        EXPECT_EQ(row.r - 1, Selected(dialog, IDC_RESTART_SEC));
        EXPECT_EQ(std::to_string(row.r), Text(dialog, IDC_RESTART_SEC));
    }
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("7", IniValue(app, "RestartSec"));
}

TEST(Dialog, ValuesOutsideTheListsStayAsTheFileHadThem)
{
    // Nothing in the lists to select: OK keeps the minutes and seconds, and
    // gives restart the seconds a fresh setting has rather than 0.
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir(
        "[SETTING]\r\nTimerMinute=99\r\nTimerSecond=75\r\nRestart=1\r\nRestartSec=0\r\n")));
    EXPECT_EQ(" 99:75", app.Line(IDC_COUNTDOWNLINE, 0));
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    for (int box : {IDC_MINUTES, IDC_SECONDS, IDC_RESTART_SEC}) {
        EXPECT_EQ(-1, Selected(dialog, box)) << box;
        EXPECT_EQ("", Text(dialog, box)) << box;
    }
    ASSERT_TRUE(EndDialogWith(dialog, IDOK));
    ASSERT_TRUE(app.OpenSettings(&dialog));
    EXPECT_EQ(-1, Selected(dialog, IDC_MINUTES));
    EXPECT_EQ(-1, Selected(dialog, IDC_SECONDS));
    EXPECT_EQ(9, Selected(dialog, IDC_RESTART_SEC));
    ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
    EXPECT_EQ(" 99:75", app.Line(IDC_COUNTDOWNLINE, 0));
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("99", IniValue(app, "TimerMinute"));
    EXPECT_EQ("75", IniValue(app, "TimerSecond"));
    EXPECT_EQ("10", IniValue(app, "RestartSec"));
}

namespace {

// A value under HKEY_CURRENT_USER for the time of a test: at the end the old
// value comes back, or none, and the keys made for it go.
class UserRegistryValue {
public:
    UserRegistryValue(const std::string& key, const char* name) : key_(key), name_(name)
    {
        // The first key of the path that is not there yet: the one to remove at the end.
        for (size_t end = 0; created_.empty() && end != std::string::npos;) {
            end = key.find('\\', end + 1);
            HKEY probe;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, key.substr(0, end).c_str(), 0, KEY_READ, &probe))
                created_ = key.substr(0, end);
            else
                RegCloseKey(probe);
        }
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, NULL, &handle_, NULL))
            handle_ = NULL;
        had_ = handle_ && !RegQueryValueExA(handle_, name, NULL, &type_, old_, &size_);
    }
    ~UserRegistryValue()
    {
        if (had_)
            RegSetValueExA(handle_, name_, 0, type_, old_, size_);
        else if (handle_)
            RegDeleteValueA(handle_, name_);
        if (handle_)
            RegCloseKey(handle_);
        for (std::string k = key_; !created_.empty(); k.resize(k.rfind('\\'))) {
            RegDeleteKeyA(HKEY_CURRENT_USER, k.c_str());
            if (k == created_)
                break;
        }
    }
    bool Set(DWORD type, const void* data, DWORD size)
    {
        return handle_ && !RegSetValueExA(handle_, name_, 0, type, (const BYTE*)data, size);
    }

private:
    std::string key_, created_;
    const char* name_;
    HKEY handle_ = NULL;
    BYTE old_[1024];
    DWORD type_ = 0, size_ = sizeof old_;
    bool had_ = false;
};

// Rectangles as the other program's window has them, whatever DPI this one
// started with (Wine would otherwise scale them for a DPI-unaware caller).
void SeeDevicePixels()
{
    typedef HANDLE(WINAPI * SetContext)(HANDLE);
    SetContext set = (SetContext)(void (*)(void))GetProcAddress(
        GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext");
    if (set)
        set((HANDLE)-3);  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
}

// The direct children of window: how many, and that each lies inside its
// client area, naming those that do not.
testing::AssertionResult ChildrenInside(HWND window, int count)
{
    RECT client = {};
    GetClientRect(window, &client);
    std::ostringstream outside;
    int n = 0;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++n) {
        RECT r = WindowRect(c);
        MapWindowPoints(NULL, window, (POINT*)&r, 2);
        if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
            outside << " " << GetDlgCtrlID(c) << " at (" << r.left << "," << r.top << ")-("
                    << r.right << "," << r.bottom << ")";
    }
    if (n == count && outside.str().empty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << n << " controls (want " << count << ") in a client area of "
                                       << client.right << "x" << client.bottom << "; outside it:"
                                       << outside.str();
}

// A list box's client area holds lines whole lines of its own item height.
testing::AssertionResult HoldsLines(HWND listBox, int lines)
{
    RECT client = {};
    GetClientRect(listBox, &client);
    LRESULT item = Ask(listBox, LB_GETITEMHEIGHT);
    if (item > 0 && client.bottom >= item * lines)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "client height " << client.bottom << " for " << lines
                                       << " lines of " << item;
}

}  // namespace

TEST(Dialog, EveryControlAndLineFitsItsWindowAt96144And192Dpi)
{
    E2E_NEEDS_WINE("a screen DPI read from the registry at each start");
    SeeDevicePixels();
    // Each Wine process reads the screen's DPI once, as it starts.
    UserRegistryValue screenDpi("Control Panel\\Desktop", "LogPixels");
    LONG width96 = 0;
    for (DWORD dpi : {96, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        ASSERT_TRUE(screenDpi.Set(REG_DWORD, &dpi, sizeof dpi))
            << "cannot write HKCU\\Control Panel\\Desktop LogPixels";
        Velmaris app;
        ASSERT_TRUE(app.Start(FreshWorkDir()));
        EXPECT_TRUE(ChildrenInside(app.Main(), 6));
        EXPECT_TRUE(HoldsLines(app.Item(IDC_CLOCKLINES), 3));
        EXPECT_TRUE(HoldsLines(app.Item(IDC_COUNTDOWNLINE), 1));
        // The layout grows with the DPI, so the checks above are made at it.
        RECT client = {};
        GetClientRect(app.Main(), &client);
        if (dpi == 96)
            width96 = client.right;
        EXPECT_NEAR(width96 * (LONG)dpi / 96, client.right, width96 * (LONG)dpi / 96 / 8)
            << "main window's client width";
        HWND dialog = NULL;
        ASSERT_TRUE(app.OpenSettings(&dialog));
        EXPECT_TRUE(ChildrenInside(dialog, 19));
        ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));
        ASSERT_TRUE(app.Close());
    }
}

namespace {

// A 0.3 s tone of 16-bit mono samples at 22050 Hz, none of them repeating in
// any run long enough to search for.
std::string ToneSamples()
{
    std::string data;
    uint32_t seed = 12345;
    for (int i = 0; i < 6615; ++i) {
        seed = seed * 1103515245u + 12345u;
        int16_t sample = (int16_t)(2000 + (seed >> 16) % 20000);
        data.append((const char*)&sample, 2);
    }
    return data;
}

void WriteWave(const std::string& path, const std::string& samples)
{
    auto u32 = [](uint32_t v) { return std::string((const char*)&v, 4); };
    auto u16 = [](uint16_t v) { return std::string((const char*)&v, 2); };
    std::string file = "RIFF" + u32(36 + (uint32_t)samples.size()) + "WAVEfmt " + u32(16) +
                       u16(1) + u16(1) + u32(22050) + u32(44100) + u16(2) + u16(16) + "data" +
                       u32((uint32_t)samples.size()) + samples;
    WriteText(path, file);
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A path run-e2e.sh --audio names.
std::string AudioPath(const char* name)
{
    return getenv(name) ? WinePath(getenv(name)) : "";
}

// The files of the sound device: E2E_CAPTURE, then E2E_CAPTURE.0001 ...
std::string CaptureFile(int n)
{
    char suffix[8] = "";
    if (n > 0)
        snprintf(suffix, sizeof suffix, ".%04d", n);
    return AudioPath("E2E_CAPTURE") + suffix;
}

// Everything the sound device received, one string per opening of it.
Lines Captures()
{
    Lines files;
    for (std::string data; ReadText(CaptureFile((int)files.size()), &data);)
        files.push_back(data);
    return files;
}

// Starts Velmaris with its sound recorded and its MessageBeep calls and file
// names logged: Wine takes the debug channels from the starting program's
// environment alone, and the log lands in run-e2e.sh's E2E_LOG.
class Sound {
public:
    // exe: a copy of Velmaris.exe to start instead.
    testing::AssertionResult Start(Velmaris& app, const std::string& dir,
                                   const std::string& exe = "")
    {
        std::string capture = AudioPath("E2E_CAPTURE");
        if (capture.empty() || AudioPath("E2E_LOG").empty())
            return testing::AssertionFailure() << "sound is not recorded: run with run-e2e.sh --audio";
        for (int n = 0; DeleteFileA(CaptureFile(n).c_str()); ++n) {
        }
        if (!Captures().empty())
            return testing::AssertionFailure() << "cannot remove " << capture;
        WIN32_FILE_ATTRIBUTE_DATA log;
        if (!GetFileAttributesExA(AudioPath("E2E_LOG").c_str(), GetFileExInfoStandard, &log))
            return testing::AssertionFailure() << "no log at " << AudioPath("E2E_LOG");
        logStart_ = log.nFileSizeLow;
        // Read once at start-up: the program has it by the time its window shows.
        UserRegistryValue relay("Software\\Wine\\Debug", "RelayInclude");
        const char include[] = "user32.MessageBeep;kernel32.SetThreadExecutionState";
        if (!relay.Set(REG_SZ, include, sizeof include))
            return testing::AssertionFailure() << "cannot write HKCU\\Software\\Wine\\Debug";
        char debug[256] = "", path[4096] = "";
        GetEnvironmentVariableA("WINEDEBUG", debug, sizeof debug);
        SetEnvironmentVariableA("WINEDEBUG", "-all,+relay,trace+file");
        GetEnvironmentVariableA("PATH", path, sizeof path);  // a share last on it, a loopback one
        SetEnvironmentVariableA("PATH", (path + std::string(";\\\\127.0.0.12\\share")).c_str());
        testing::AssertionResult started = app.Start(dir, SW_SHOWNORMAL, exe);
        SetEnvironmentVariableA("WINEDEBUG", debug[0] ? debug : NULL);
        SetEnvironmentVariableA("PATH", path);
        return started;
    }

    // MessageBeep calls since Start, in the part of the log written since.
    size_t Beeps() const { return Logged("Call user32.MessageBeep("); }
    size_t Logged(const std::string& what) const
    {
        std::string log;
        ReadText(AudioPath("E2E_LOG"), &log);
        return Count(log.substr(std::min(logStart_, log.size())), what);
    }

    static size_t Played(const std::string& samples)
    {
        size_t n = 0;
        for (const std::string& file : Captures())
            n += Count(file, samples);
        return n;
    }

private:
    size_t logStart_ = 0;
};

// Start, then the countdown back at the preset after it counted: one expiry.
// With cover: a window of the driver's over Velmaris from the first count till the raise.
testing::AssertionResult RunToExpiry(const Velmaris& app, HWND* cover = nullptr)
{
    Lines trace = {app.Line(IDC_COUNTDOWNLINE, 0)};
    app.Press(IDC_START);
    return app.Watch(IDC_COUNTDOWNLINE, 0, &trace, [&](const Lines& t) {
        if (cover && !*cover && t.size() == 2)
            *cover = CoverWindow(WindowRect(app.Main()));
        return t.size() > 2 && t.back() == t[0] && (!cover || IsAbove(app.Main(), *cover));
    }, "the run to expire and raise the window");
}

}  // namespace

TEST(Sound, BrowsedWaveIsPlayedOnceAtExpiry)
{
    E2E_NEEDS_WINE("its sound capture and call log");
    std::string dir = FreshWorkDir("[SETTING]\r\nTimerMinute=0\r\nTimerSecond=2\r\n");
    std::string wave = dir + "\\tone.wav", samples = ToneSamples();
    WriteWave(wave, samples);
    Velmaris app;
    Sound sound;
    ASSERT_TRUE(sound.Start(app, dir));
    HWND dialog = NULL;
    ASSERT_TRUE(app.OpenSettings(&dialog));
    Tick(dialog, IDC_SOUND_WAVE);
    Type(dialog, IDC_WAVE_PATH, "before.wav");

    // The picker is the program's own modal dialog, owned by the settings dialog.
    for (const char* typed : {"", wave.c_str()}) {
        SCOPED_TRACE(typed);
        Click(Item(dialog, IDC_BROWSE));
        HWND picker = NULL;
        ASSERT_TRUE(WaitUntil([&] { return (picker = OwnedWindow(dialog)) != NULL; },
                              "the file picker"));
        EXPECT_EQ("Wav File Select", ControlText(picker));
        EXPECT_FALSE(IsWindowEnabled(dialog));
        // Wine's picker is the Explorer-style one, with a combo box for the name.
        int name = Item(picker, cmb13) ? cmb13 : edt1;
        if (*typed) {
            Type(picker, name, typed);
            ASSERT_EQ(typed, Text(picker, name));
        }
        ASSERT_TRUE(EndDialogWith(picker, *typed ? IDOK : IDCANCEL));
        EXPECT_EQ(*typed ? wave : "before.wav", Text(dialog, IDC_WAVE_PATH));
    }
    ASSERT_TRUE(EndDialogWith(dialog, IDOK));

    ASSERT_TRUE(RunToExpiry(app));
    ASSERT_TRUE(WaitUntil([&] { return Sound::Played(samples) > 0; }, "the wave to be played"));
    ASSERT_TRUE(app.WaitTicks(3));
    EXPECT_EQ(1u, Sound::Played(samples)) << "played once, not again after the expiry";
    EXPECT_EQ(0u, sound.Beeps());
    EXPECT_EQ(1u, sound.Logged("SetThreadExecutionState(00000002)")) << "the display asked for at the alarm";
    EXPECT_EQ(0u, sound.Logged("SetThreadExecutionState(80000003)")) << "the display held while counting";
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("1", IniValue(app, "SoundFormat"));
    EXPECT_EQ(wave, IniValue(app, "SoundWav"));
}

TEST(Sound, WaveWithoutAPathFallsBackToTheBeepAndOneOnAnotherComputerIsNeverOpened)
{
    E2E_NEEDS_WINE("its sound capture and call log");
    // The path is compared exactly: only "" and "DEFAULT" mean the beep. A
    // path on another computer (a loopback one here) is shown, kept, silent.
    const struct { const char* typed; bool wave; } rows[] = {
        {"", false}, {"DEFAULT", false}, {"default", true}, {"\\\\127.0.0.2\\share\\x.wav", true},
        {"//127.0.0.2/share/x.wav", true}, {"\\\\?\\UNC\\127.0.0.2\\share\\x.wav", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        std::string dir = FreshWorkDir("[SETTING]\r\nTimerMinute=0\r\nTimerSecond=2\r\n");
        Velmaris app;
        Sound sound;
        ASSERT_TRUE(sound.Start(app, dir));
        HWND dialog = NULL;
        ASSERT_TRUE(app.OpenSettings(&dialog));
        Tick(dialog, IDC_SOUND_WAVE);
        Type(dialog, IDC_WAVE_PATH, row.typed);
        ASSERT_TRUE(EndDialogWith(dialog, IDOK));
        ASSERT_TRUE(app.OpenSettings(&dialog));
        Shown shown = Read(dialog);
        EXPECT_EQ(!row.wave, shown.soundDefault);
        EXPECT_EQ(row.wave, shown.wave);
        EXPECT_EQ(row.wave ? row.typed : "", shown.path);
        EXPECT_EQ(row.wave, shown.pathEnabled);
        EXPECT_EQ(row.wave, shown.browseEnabled);
        ASSERT_TRUE(EndDialogWith(dialog, IDCANCEL));

        HWND cover = NULL;
        ASSERT_TRUE(RunToExpiry(app, &cover));
        DestroyWindow(cover);
        if (row.wave)
            ASSERT_TRUE(app.WaitTicks(2));
        else  // one beep a tick until Stop
            ASSERT_TRUE(WaitUntil([&] { return sound.Beeps() >= 2; }, "the beep to repeat"));
        EXPECT_EQ(row.wave, sound.Beeps() == 0);
        EXPECT_EQ(Lines{}, Captures()) << "nothing reached the sound device";
        EXPECT_EQ(0u, sound.Logged("127.0.0.2")) << "the file log names the host";
        EXPECT_EQ(0u, sound.Logged("127.0.0.12\\\\share\\\\default")) << "a bare name searched for on PATH";
        app.Press(IDC_STOP);
        ASSERT_TRUE(app.Close());
        EXPECT_EQ(row.wave ? "1" : "0", IniValue(app, "SoundFormat"));
        EXPECT_EQ(row.wave ? row.typed : "DEFAULT", IniValue(app, "SoundWav"));
    }
}

// Wine loads its own winmm whichever winmm.dll the search finds; for the
// time of this test, a DLL override in the registry makes it load a native
// one from wherever a program named Velmaris.exe asks, as Windows would from
// the program's folder. Wine reads it at each load, and takes WINEDLLOVERRIDES
// from its Unix environment only, which the driver cannot change for a
// program it starts.
TEST(Sound, APlantedWinmmBesideTheProgramIsNotLoaded)
{
    E2E_NEEDS_WINE("its sound capture and call log");
    // A winmm.dll that came along into the program's folder (a downloads
    // folder, say): the wave must still be played by the system's winmm.
    std::string dir = FreshWorkDir(), wave = dir + "\\tone.wav", samples = ToneSamples();
    WriteWave(wave, samples);
    WriteText(dir + "\\Velmaris.ini",
              "[SETTING]\r\nTimerMinute=0\r\nTimerSecond=2\r\nSoundFormat=1\r\nSoundWav=" + wave + "\r\n");
    std::string exe = dir + "\\Velmaris.exe", marker = dir + "\\planted-dll-loaded";
    ASSERT_TRUE(CopyFileA(VelmarisPath().c_str(), exe.c_str(), FALSE)) << VelmarisPath();
    const std::string dll = VelmarisPath().substr(0, VelmarisPath().rfind('\\')) + "\\planted\\winmm.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), (dir + "\\winmm.dll").c_str(), FALSE)) << dll;
    UserRegistryValue native("Software\\Wine\\AppDefaults\\Velmaris.exe\\DllOverrides", "winmm");
    const char order[] = "native,builtin";
    ASSERT_TRUE(native.Set(REG_SZ, order, sizeof order)) << "cannot write winmm's DLL override";
    Velmaris app;
    Sound sound;
    ASSERT_TRUE(sound.Start(app, dir, exe));
    ASSERT_TRUE(RunToExpiry(app));
    auto planted = [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; };
    WaitUntil([&] { return planted() || Sound::Played(samples) > 0; }, "the wave or the plant");
    EXPECT_FALSE(planted()) << "the winmm.dll beside the program was loaded";
    EXPECT_EQ(1u, Sound::Played(samples)) << "the system's winmm played the wave";
    ASSERT_TRUE(app.Close());
}
