// An in-memory private-profile file: sections and keys in insertion order,
// a switch that makes the file unopenable, and a log of every write.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct MemoryProfile {
    typedef std::vector<std::pair<std::string, std::string>> Keys;
    std::vector<std::pair<std::string, Keys>> sections;
    bool openable = true;
    std::vector<std::string> opened;  // paths passed to ProfileOpenAlways
    int reads = 0;
    std::vector<std::string> writes;  // "section key=value", in order

    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Null when the key is absent.
    const std::string* Find(const std::string& section, const std::string& key) const;
};

extern MemoryProfile memoryProfile;
void ResetMemoryProfile();
