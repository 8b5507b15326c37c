// Velmaris.ini as a save writes it: the eleven keys in the file's order with
// their defaults, any of them overridden. The tests of every layer build their
// expected files from this one table.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct IniKey {
    const char* section;
    const char* key;
    const char* value;  // the default
};
inline const IniKey IniKeys[11] = {
    {"WINDOW", "left", "100"},       {"WINDOW", "top", "100"},
    {"WINDOW", "right", "100"},      {"WINDOW", "bottom", "100"},
    {"SETTING", "TimerMinute", "3"}, {"SETTING", "TimerSecond", "0"},
    {"SETTING", "TimerFormat", "1"}, {"SETTING", "SoundFormat", "0"},
    {"SETTING", "SoundWav", "DEFAULT"}, {"SETTING", "Restart", "0"},
    {"SETTING", "RestartSec", "10"},
};

typedef std::map<std::string, std::string> IniOverrides;  // key -> value

// As the file's non-blank lines ("[WINDOW]", "left=100" ...), or as the
// in-memory profile logs the writes ("WINDOW left=100" ...).
enum IniForm { IniFileLines, ProfileWrites };

inline std::vector<std::string> SettingsFile(const IniOverrides& overrides = {},
                                             IniForm form = IniFileLines)
{
    std::vector<std::string> out;
    std::string section;
    for (const IniKey& k : IniKeys) {
        auto o = overrides.find(k.key);
        std::string line = k.key + ("=" + (o == overrides.end() ? k.value : o->second));
        if (form == ProfileWrites)
            line = k.section + (" " + line);
        else if (section != k.section)
            out.push_back("[" + (section = k.section) + "]");
        out.push_back(line);
    }
    return out;
}

// A file's text as its lines, without blank lines or line ends: the form
// SettingsFile builds.
inline std::vector<std::string> IniLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}
