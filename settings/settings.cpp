#include "settings.h"

#include <limits.h>
#include <string.h>

#include "profile.h"
#include "settings_host.h"

const char SettingsFileName[] = "Velmaris.ini";

static const char WindowSection[] = "WINDOW";
static const char SettingSection[] = "SETTING";

bool SettingsPath(const ClockData* data, char* out, size_t size)
{
    // Without a captured directory the join would name a file at the drive root.
    if (data->WorkDir[0] == '\0' || memchr(data->WorkDir, '\0', sizeof data->WorkDir) == nullptr)
        return false;
    return FormatText(out, size, "%s\\%s", data->WorkDir, SettingsFileName);
}

int32_t ParseNumber(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    // Accumulate as a negative number so INT32_MIN is reachable; saturate beyond.
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 - (*text - '0');
        if (value < (int64_t)INT32_MIN - 1)
            value = (int64_t)INT32_MIN - 1;
    }
    if (negative)
        return value < INT32_MIN ? INT32_MIN : (int32_t)value;
    return -value > INT32_MAX ? INT32_MAX : (int32_t)-value;
}

static int32_t ReadNumber(const char* path, const char* section, const char* key,
                          const char* def)
{
    char text[ClockTextSize];
    ProfileRead(path, section, key, def, text, sizeof text);
    return ParseNumber(text);
}

static void WriteNumber(const char* path, const char* section, const char* key, int32_t value)
{
    char text[16];
    FormatText(text, sizeof text, "%d", (int)value);
    ProfileWrite(path, section, key, text);
}

static void SaveSettings(const char* path, const ClockData* data)
{
    WriteNumber(path, WindowSection, "left", data->left);
    WriteNumber(path, WindowSection, "top", data->top);
    WriteNumber(path, WindowSection, "right", data->right);
    WriteNumber(path, WindowSection, "bottom", data->bottom);
    WriteNumber(path, SettingSection, "TimerMinute", data->TimerMinute);
    WriteNumber(path, SettingSection, "TimerSecond", data->TimerSecond);
    WriteNumber(path, SettingSection, "TimerFormat", data->TimerFormat);
    WriteNumber(path, SettingSection, "SoundFormat", data->SoundFormat);
    ProfileWrite(path, SettingSection, "SoundWav", data->SoundWav);
    WriteNumber(path, SettingSection, "Restart", data->Restart);
    WriteNumber(path, SettingSection, "RestartSec", data->RestartSec);
}

static void LoadSettings(const char* path, ClockData* data)
{
    data->left = ReadNumber(path, WindowSection, "left", "100");
    data->top = ReadNumber(path, WindowSection, "top", "100");
    data->right = ReadNumber(path, WindowSection, "right", "100");
    data->bottom = ReadNumber(path, WindowSection, "bottom", "100");
    data->TimerMinute = ReadNumber(path, SettingSection, "TimerMinute", "3");
    data->TimerSecond = ReadNumber(path, SettingSection, "TimerSecond", "0");
    data->TimerFormat = ReadNumber(path, SettingSection, "TimerFormat", "1");
    data->SoundFormat = ReadNumber(path, SettingSection, "SoundFormat", "0");

    char wave[ClockTextSize];
    if (ProfileRead(path, SettingSection, "SoundWav", "DEFAULT", wave, sizeof wave) != 0) {
        memcpy(data->SoundWav, wave, sizeof wave);
        data->SoundWav[sizeof data->SoundWav - 1] = '\0';
    }
    data->Restart = ReadNumber(path, SettingSection, "Restart", "0");
    // The restart delay is only kept while restart is on.
    data->RestartSec = 10;
    if (data->Restart != 0)
        data->RestartSec = ReadNumber(path, SettingSection, "RestartSec", "10");
}

// False after a load that could not read the file: the record's zeros must not
// replace settings the file may hold (it may have been locked only for a
// moment), until the user has chosen every value with OK in Settings.
static bool MaySave = true;

void SettingsChosen()
{
    MaySave = true;
}

int TransferSettings(ClockData* data, int save)
{
    char path[ClockTextSize];
    bool named = SettingsPath(data, path, sizeof path);
    if (save) {
        if (!named || !MaySave || !ProfileOpenAlways(path))
            return 0;
        SaveSettings(path, data);
        return 1;
    }
    // A file that cannot be written may still be read: one that another
    // program holds with read sharing, or a read-only file or folder.
    MaySave = named && (ProfileOpenAlways(path) || ProfileOpenToRead(path));
    if (!MaySave)
        return 0;
    LoadSettings(path, data);
    return 1;
}

void InitClockData(ClockData* data)
{
    memset(data->SoundWav, 0, sizeof data->SoundWav);
    if (HostCurrentDirectory(data->WorkDir, sizeof data->WorkDir) == 0)
        data->WorkDir[0] = '\0';  // no usable directory: the settings file counts as unopenable
    TransferSettings(data, 0);
    data->RestartArmed = 0;
    data->DurationMs = PresetDurationMs(data->TimerMinute, data->TimerSecond);
}

int SaveClockData(ClockData* data)
{
    int32_t rect[4];
    if (HostMainWindowRect(rect)) {
        data->left = rect[0];
        data->top = rect[1];
        data->right = rect[2];
        data->bottom = rect[3];
    }
    return TransferSettings(data, 1);
}

bool SaveClockDataIfMoved(ClockData* data)
{
    int32_t rect[4];
    if (!HostMainWindowRect(rect) || (rect[0] == data->left && rect[1] == data->top &&
                                      rect[2] == data->right && rect[3] == data->bottom))
        return false;
    return SaveClockData(data) != 0;
}
