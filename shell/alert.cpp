// The alarm told to assistive technology, which a raise and a sound do not reach.
#include <oleacc.h>

#include "resource.h"
#include "shell.h"

// Dynamic Annotation's service and UI Automation's LiveSetting property, of
// which mingw's headers declare only some, and those without their values.
static const CLSID AccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
static const IID AccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
static const GUID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
enum { LiveSettingAssertive = 2 };

void MarkLiveRegion(HWND window)
{
    // Narrator, through UI Automation, speaks a live region's change only if
    // it is polite or assertive; oleacc's proxy of a plain window takes that
    // as an annotation. ole32 comes at run time, and COM loads oleacc from the
    // system folder: neither is a dependency the program cannot start without.
    typedef HRESULT(WINAPI * InitProc)(LPVOID);
    typedef HRESULT(WINAPI * CreateProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    InitProc init = (InitProc)(void (*)(void))SystemProc("ole32.dll", "CoInitialize");
    CreateProc create = (CreateProc)(void (*)(void))SystemProc("ole32.dll", "CoCreateInstance");
    IAccPropServices* services;
    if (!init || !create || FAILED(init(NULL)) ||
        FAILED(create(AccPropServicesClass, NULL, CLSCTX_INPROC_SERVER, AccPropServicesInterface,
                      (LPVOID*)&services)))
        return;
    VARIANT setting;
    setting.vt = VT_I4;
    setting.lVal = LiveSettingAssertive;
    services->SetHwndProp(window, OBJID_CLIENT, CHILDID_SELF, LiveSettingProperty, setting);
    services->Release();
}

void AnnounceAlarm(HWND window)
{
    // The client object of the main window, which holds the lines and the
    // buttons, is named by the window text. The name is in the UI language,
    // as the dialogs are chosen; set as DefWindowProcW keeps it, since an
    // ANSI window's WM_SETTEXT passes through the code page, and on a
    // Western one every Chinese character becomes "?".
    WCHAR name[64];
    if (LoadStringW(MainInstance, IDS_TIME_UP, name, sizeof name / sizeof *name))
        DefWindowProcW(window, WM_SETTEXT, 0, (LPARAM)name);
    // NVDA speaks a live region's name whatever its role, an alert only on an
    // object of the alert role (other readers may take it); either only from
    // the foreground window or a topmost one: the alarm takes no focus, and
    // its raise leaves the window topmost for a while. OBJID_ALERT is for the
    // system's message boxes alone.
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
    SetTimer(window, ALARM_TOPMOST_TIMER_ID, ALARM_TOPMOST_MS, NULL);
}

void EndAnnouncement(HWND window)
{
    KillTimer(window, ALARM_TOPMOST_TIMER_ID);
    SetWindowTextA(window, "Velmaris");  // the name WinMain gives it
    EndTopmost(window);
}
