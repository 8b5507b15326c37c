// An in-memory private-profile file: sections and keys in insertion order,
// switches that make the file unopenable or read-only, and a log of every write.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct MemoryProfile {
    typedef std::vector<std::pair<std::string, std::string>> Keys;
    std::vector<std::pair<std::string, Keys>> sections;
    bool openable = true;
    bool readOnly = false;            // opens for reading only
    std::vector<std::string> opened;  // paths passed to ProfileOpenAlways, "r " + path to ProfileOpenToRead
    int reads = 0;
    std::vector<std::string> writes;  // "section key=value", in order

    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Null when the key is absent.
    const std::string* Find(const std::string& section, const std::string& key) const;
};

extern MemoryProfile memoryProfile;
void ResetMemoryProfile();
