// The modal settings dialog. It edits a working copy of the record's
// settings; only OK writes the copy back, and the change shows at once.
#include <stddef.h>

#include "box_value.h"
#include "resource.h"
#include "shell.h"
#include "text.h"

#include <commdlg.h>

typedef BOOL(WINAPI * PickProc)(LPOPENFILENAMEA);

bool SettingsDialogActive()
{
    return Shell.dialogActive;
}

// Any enabled standard dialog ("#32770") that ours owns is its file picker.
static BOOL CALLBACK CancelPicker(HWND window, LPARAM dialog)
{
    if (GetWindow(window, GW_OWNER) == (HWND)dialog && IsWindowEnabled(window)) {
        char name[8] = "";
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0)
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return TRUE;
}

void CloseSettingsDialog()
{
    if (!Shell.dialogWindow)
        return;
    EnumThreadWindows(GetCurrentThreadId(), CancelPicker, (LPARAM)Shell.dialogWindow);
    EndDialog(Shell.dialogWindow, 0);
}

void OnSettingsCommand(HWND window)
{
    // A second request while the dialog is open would edit the same working copy.
    if (SettingsDialogActive())
        return;
    ClockData* data = LockClock();
    bool chosen = data && RunSettingsDialog(MainInstance, window, data);
    if (chosen)
        SaveAfterOk(data);
    UnlockClock(data);
    if (chosen)
        RunEvent(window, SettingsChanged);  // the new preset, and the end it moves
    if (Shell.closeAfterDialog) {
        Shell.closeAfterDialog = false;
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

static void CopyText(char* to, const char* from)
{
    lstrcpynA(to, from, PathSize);
}

bool RunSettingsDialog(HINSTANCE instance, HWND mainWindow, ClockData* data)
{
    Shell.DialogSettings.TimerFormat = data->TimerFormat;
    Shell.DialogSettings.TimerMinute = data->TimerMinute;
    Shell.DialogSettings.TimerSecond = data->TimerSecond;
    Shell.DialogSettings.SoundFormat = data->SoundFormat;
    CopyText(Shell.DialogSettings.SoundWav, data->SoundWav);
    Shell.DialogSettings.Restart = data->Restart;
    Shell.DialogSettings.RestartSec = data->RestartSec;
    Shell.openedWith = Shell.DialogSettings;

    Shell.dialogActive = true;
    // W, as for the main window, so that the captions survive any code page.
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), mainWindow,
                                     SettingsDlgProc, 0);
    Shell.dialogActive = false;
    Shell.dialogWindow = NULL;
    if (result == 0 || result == -1)
        return false;

    data->TimerFormat = Shell.DialogSettings.TimerFormat;
    data->TimerMinute = Shell.DialogSettings.TimerMinute;
    data->TimerSecond = Shell.DialogSettings.TimerSecond;
    data->SoundFormat = Shell.DialogSettings.SoundFormat;
    if (Shell.DialogSettings.SoundFormat == 1) {
        CopyText(data->SoundWav, Shell.DialogSettings.SoundWav);
        ZeroMemory(Shell.DialogSettings.SoundWav, sizeof Shell.DialogSettings.SoundWav);
    }
    data->Restart = Shell.DialogSettings.Restart;
    data->RestartSec = Shell.DialogSettings.RestartSec;
    data->DurationMs = PresetDurationMs(data->TimerMinute, data->TimerSecond);
    return true;
}

static void AddNumber(HWND dialog, int id, int value)
{
    char text[16];
    FormatText(text, sizeof text, "%d", value);
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)text);
}

static void EnableWaveControls(HWND dialog, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, IDC_WAVE_PATH), enable);
    EnableWindow(GetDlgItem(dialog, IDC_BROWSE), enable);
}

static void OnInitDialog(HWND dialog)
{
    Shell.dialogWindow = dialog;
    for (int i = 0; i <= 60; ++i) {
        AddNumber(dialog, IDC_MINUTES, i);
        if (i != 60)
            AddNumber(dialog, IDC_SECONDS, i);
    }
    SendDlgItemMessageA(dialog, IDC_MINUTES, CB_SETCURSEL,
                        (WPARAM)Shell.DialogSettings.TimerMinute, 0);
    SendDlgItemMessageA(dialog, IDC_SECONDS, CB_SETCURSEL,
                        (WPARAM)Shell.DialogSettings.TimerSecond, 0);
    // Over the whole group, so the other button is unchecked too and gives
    // up its tab stop: Tab then reaches only the checked one, and Windows'
    // focus click on an automatic radio button cannot change the choice.
    CheckRadioButton(dialog, IDC_FORMAT_AMPM, IDC_FORMAT_24H,
                     Shell.DialogSettings.TimerFormat != 0 ? IDC_FORMAT_24H : IDC_FORMAT_AMPM);
    CheckRadioButton(dialog, IDC_SOUND_DEFAULT, IDC_SOUND_WAVE,
                     Shell.DialogSettings.SoundFormat != 0 ? IDC_SOUND_WAVE : IDC_SOUND_DEFAULT);
    EnableWaveControls(dialog, Shell.DialogSettings.SoundFormat != 0);
    if (Shell.DialogSettings.SoundFormat == 1)
        SetDlgItemTextA(dialog, IDC_WAVE_PATH, Shell.DialogSettings.SoundWav);
    SendDlgItemMessageA(dialog, IDC_RESTART_ON, BM_SETCHECK,
                        (WPARAM)Shell.DialogSettings.Restart, 0);
    for (int i = 1; i <= 60; ++i)
        AddNumber(dialog, IDC_RESTART_SEC, i);
    SendDlgItemMessageA(dialog, IDC_RESTART_SEC, CB_SETCURSEL,
                        (WPARAM)(Shell.DialogSettings.RestartSec - 1), 0);
    EnableWindow(GetDlgItem(dialog, IDC_RESTART_SEC), Shell.DialogSettings.Restart != 0);
}

// The box's field holds the chosen list item or what the user typed.
static int32_t ReadBoxValue(HWND dialog, int id, int32_t low, int32_t high, int32_t fallback)
{
    char text[BoxTextSize] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return BoxValue(text, low, high, fallback);
}

static void OnOk(HWND dialog)
{
    Shell.DialogSettings.TimerMinute =
        ReadBoxValue(dialog, IDC_MINUTES, 0, 60, Shell.openedWith.TimerMinute);
    Shell.DialogSettings.TimerSecond =
        ReadBoxValue(dialog, IDC_SECONDS, 0, 59, Shell.openedWith.TimerSecond);
    if (Shell.DialogSettings.SoundFormat == 1) {
        ZeroMemory(Shell.DialogSettings.SoundWav, sizeof Shell.DialogSettings.SoundWav);
        GetDlgItemTextA(dialog, IDC_WAVE_PATH, Shell.DialogSettings.SoundWav, PathSize);
        if (lstrcmpA(Shell.DialogSettings.SoundWav, "DEFAULT") == 0 ||
            Shell.DialogSettings.SoundWav[0] == '\0') {
            ZeroMemory(Shell.DialogSettings.SoundWav, sizeof Shell.DialogSettings.SoundWav);
            Shell.DialogSettings.SoundFormat = 0;
            EnableWaveControls(dialog, FALSE);
        }
    }
    Shell.DialogSettings.Restart =
        (int32_t)SendDlgItemMessageA(dialog, IDC_RESTART_ON, BM_GETCHECK, 0, 0);
    if (Shell.DialogSettings.Restart != 0) {
        // A restart delay of 0 would restart at the very end of the run.
        int32_t fallback = Shell.openedWith.RestartSec >= 1 ? Shell.openedWith.RestartSec : 10;
        Shell.DialogSettings.RestartSec = ReadBoxValue(dialog, IDC_RESTART_SEC, 1, 60, fallback);
    }
    EndDialog(dialog, 1);
}

static void OnBrowse(HWND dialog)
{
    if (ChooseWaveFile(dialog))
        SetDlgItemTextA(dialog, IDC_WAVE_PATH, Shell.pickedFile);
}

static INT_PTR OnDialogCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return FALSE;
    case IDC_FORMAT_AMPM:
        Shell.DialogSettings.TimerFormat = 0;
        return FALSE;
    case IDC_FORMAT_24H:
        Shell.DialogSettings.TimerFormat = 1;
        return FALSE;
    case IDC_SOUND_DEFAULT:
        Shell.DialogSettings.SoundFormat = 0;
        EnableWaveControls(dialog, FALSE);
        return FALSE;
    case IDC_SOUND_WAVE:
        Shell.DialogSettings.SoundFormat = 1;
        EnableWaveControls(dialog, TRUE);
        return FALSE;
    case IDC_BROWSE:
        OnBrowse(dialog);
        return FALSE;
    case IDC_RESTART_ON:
        Shell.DialogSettings.Restart =
            (int32_t)SendDlgItemMessageA(dialog, IDC_RESTART_ON, BM_GETCHECK, 0, 0);
        EnableWindow(GetDlgItem(dialog, IDC_RESTART_SEC), Shell.DialogSettings.Restart != 0);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        return OnDialogCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}

int ChooseWaveFile(HWND owner)
{
    static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEA, pvReserved) == 76,
                  "the record without the later members is 76 bytes on 32-bit Windows");
    OPENFILENAMEA choice;
    ZeroMemory(&choice, sizeof choice);
    Shell.pickedFile[0] = '\0';
    // The record without the members of later Windows versions.
    choice.lStructSize = offsetof(OPENFILENAMEA, pvReserved);
    choice.hwndOwner = owner;
    choice.lpstrFilter = "All Files(*.*)\0*.*\0";
    choice.lpstrFile = Shell.pickedFile;
    choice.nMaxFile = sizeof Shell.pickedFile;
    choice.lpstrTitle = "Wav File Select";
    choice.Flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    // comdlg32's, loaded at the first Browse; later ones find it loaded.
    PickProc pickFile = (PickProc)(void (*)(void))SystemProc("comdlg32.dll", "GetOpenFileNameA");
    // The picker may leave the current directory where the user browsed to:
    // that folder would stay in use (a USB stick could not be ejected).
    char workDir[PathSize];
    DWORD kept = GetCurrentDirectoryA(sizeof workDir, workDir);
    int chosen = pickFile && pickFile(&choice) ? 1 : 0;
    if (kept > 0 && kept < sizeof workDir)
        SetCurrentDirectoryA(workDir);
    return chosen;
}
