#include "memory_profile.h"

#include <string.h>

#include "profile.h"

MemoryProfile memoryProfile;

void ResetMemoryProfile()
{
    memoryProfile = MemoryProfile();
}

void MemoryProfile::Set(const std::string& section, const std::string& key,
                        const std::string& value)
{
    auto s = sections.begin();
    while (s != sections.end() && s->first != section)
        ++s;
    if (s == sections.end())
        s = sections.insert(s, {section, {}});
    for (auto& entry : s->second)
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    s->second.push_back({key, value});
}

const std::string* MemoryProfile::Find(const std::string& section, const std::string& key) const
{
    for (const auto& s : sections)
        if (s.first == section)
            for (const auto& entry : s.second)
                if (entry.first == key)
                    return &entry.second;
    return nullptr;
}

bool ProfileOpenAlways(const char* path)
{
    memoryProfile.opened.push_back(path);
    return memoryProfile.openable;
}

bool ProfileOpenToRead(const char*) { return memoryProfile.openable; }

uint32_t ProfileRead(const char* /*path*/, const char* section, const char* key,
                     const char* def, char* out, uint32_t size)
{
    ++memoryProfile.reads;
    if (size == 0)
        return 0;
    const std::string* value = memoryProfile.Find(section, key);
    const char* text = value ? value->c_str() : def;
    size_t n = strlen(text);
    if (n > size - 1)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
    return (uint32_t)n;
}

bool ProfileWrite(const char* /*path*/, const char* section, const char* key, const char* value)
{
    memoryProfile.writes.push_back(std::string(section) + " " + key + "=" + value);
    memoryProfile.Set(section, key, value);
    return true;
}
