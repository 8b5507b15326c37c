// Access to a private-profile (INI) file. The Win32 backend uses CreateFileA
// and the private-profile calls; tests use an in-memory store.
#pragma once
#include <stdint.h>

// Opens the file for reading and writing without sharing, creating it when
// absent, and closes it again. False when that fails, after trying again for
// about a quarter of a second while another program holds the file.
bool ProfileOpenAlways(const char* path);
// Opens an existing file for reading only, sharing reading and writing with
// whoever holds it, and closes it again. False when that fails.
bool ProfileOpenToRead(const char* path);
// Reads section/key into out (size bytes, always terminated), or def when the
// key is absent; returns the number of characters copied.
uint32_t ProfileRead(const char* path, const char* section, const char* key,
                     const char* def, char* out, uint32_t size);
// Creates or replaces section/key.
bool ProfileWrite(const char* path, const char* section, const char* key,
                  const char* value);
