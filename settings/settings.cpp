#include "settings.h"

#include <limits.h>
#include <string.h>

#include "profile.h"
#include "text.h"

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

// The keys in the file's order, each with its field and the text a missing
// key reads as. Numbers are written as signed decimal; SoundWav is the one text.
struct SettingKey {
    const char* section;
    const char* key;
    int32_t ClockData::*number;
    char (ClockData::*text)[PathSize];
    const char* def;
};

static const SettingKey Keys[] = {
    {WindowSection, "left", &ClockData::left, nullptr, "100"},
    {WindowSection, "top", &ClockData::top, nullptr, "100"},
    {WindowSection, "right", &ClockData::right, nullptr, "100"},
    {WindowSection, "bottom", &ClockData::bottom, nullptr, "100"},
    {SettingSection, "TimerMinute", &ClockData::TimerMinute, nullptr, "3"},
    {SettingSection, "TimerSecond", &ClockData::TimerSecond, nullptr, "0"},
    {SettingSection, "TimerFormat", &ClockData::TimerFormat, nullptr, "1"},
    {SettingSection, "SoundFormat", &ClockData::SoundFormat, nullptr, "0"},
    {SettingSection, "SoundWav", nullptr, &ClockData::SoundWav, "DEFAULT"},
    {SettingSection, "Restart", &ClockData::Restart, nullptr, "0"},
    {SettingSection, "RestartSec", &ClockData::RestartSec, nullptr, "10"},
};

static void SaveSettings(const char* path, const ClockData* data)
{
    for (const SettingKey& key : Keys) {
        char number[16];
        const char* value = number;
        if (key.text)
            value = data->*key.text;
        else
            FormatText(number, sizeof number, "%d", (int)(data->*key.number));
        ProfileWrite(path, key.section, key.key, value);
    }
}

// Returns how many keys the file held. A key is read with a default no line
// of a file can hold, so that a missing key is told from one that holds its
// default.
static int LoadSettings(const char* path, ClockData* data)
{
    static const char Missing[] = "\x01\n\x01";
    int found = 0;
    for (const SettingKey& key : Keys) {
        char value[PathSize];
        // The restart delay is only kept while restart is on.
        if (key.number == &ClockData::RestartSec && data->Restart == 0) {
            data->RestartSec = ParseNumber(key.def);
            continue;
        }
        ProfileRead(path, key.section, key.key, Missing, value, sizeof value);
        const char* text = value;
        if (memcmp(value, Missing, sizeof Missing) == 0)
            text = key.def;
        else
            ++found;
        if (!key.text)
            data->*key.number = ParseNumber(text);
        else if (text[0] != '\0')  // an empty value keeps the record's text
            FormatText(data->*key.text, PathSize, "%s", text);
    }
    return found;
}

void SettingsChosen(ClockData* data)
{
    data->MaySave = 1;
}

int TransferSettings(ClockData* data, int save)
{
    char path[PathSize];
    bool named = SettingsPath(data, path, sizeof path);
    if (save) {
        if (!named || !data->MaySave || !ProfileOpenAlways(path))
            return 0;
        SaveSettings(path, data);
        return 1;
    }
    // A file that cannot be written may still be read: one that another
    // program holds with read sharing, or a read-only file or folder.
    bool writable = named && ProfileOpenAlways(path);
    data->MaySave = writable || (named && ProfileOpenToRead(path));
    if (!data->MaySave)
        return 0;
    // After a read-only open, a file that gave no key may not have been read
    // at all: the profile calls open it themselves, with a sharing of their
    // own, and their open may fail against the program that holds it.
    if (LoadSettings(path, data) == 0 && !writable)
        data->MaySave = 0;
    return data->MaySave;
}

void InitClockData(ClockData* data, const char* workDir)
{
    memset(data->SoundWav, 0, sizeof data->SoundWav);
    // A directory that does not fit is not cut: the settings file then counts as unopenable.
    if (!workDir || !FormatText(data->WorkDir, sizeof data->WorkDir, "%s", workDir))
        data->WorkDir[0] = '\0';
    TransferSettings(data, 0);
    data->RestartArmed = 0;
    data->DurationMs = PresetDurationMs(data->TimerMinute, data->TimerSecond);
}

int SaveClockData(ClockData* data, const int32_t* rect)
{
    if (rect) {
        data->left = rect[0];
        data->top = rect[1];
        data->right = rect[2];
        data->bottom = rect[3];
    }
    return TransferSettings(data, 1);
}

bool SaveClockDataIfMoved(ClockData* data, const int32_t* rect)
{
    if (!rect || (rect[0] == data->left && rect[1] == data->top && rect[2] == data->right &&
                  rect[3] == data->bottom))
        return false;
    return SaveClockData(data, rect) != 0;
}
