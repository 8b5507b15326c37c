// The settings file Velmaris.ini in the working directory: loaded into
// ClockData at start-up, also when it may only be read; written back in full,
// in one fixed key order: at close, and as soon as a setting or the window's
// place changes. A file that could not be read is not written over until the
// user has set every value with OK in Settings.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "record.h"

extern const char SettingsFileName[];  // "Velmaris.ini"

// Record set-up on a zeroed record: the working directory the caller found
// (NULL or empty when it could not, which leaves the file unopenable), the
// settings file, derived values.
void InitClockData(ClockData* data, const char* workDir);

// save = 0 loads, save = 1 saves. A load opens the file for reading and
// writing, or else for reading only, and returns 1 when it read the file (after
// a read-only open: at least one key of it), which it keeps in MaySave. A save
// returns 1 when it wrote the file; it writes nothing while MaySave is 0.
int TransferSettings(ClockData* data, int save);
// The user has set every setting with OK in Settings: the record may be saved
// even over a file that could not be read at start-up.
void SettingsChosen(ClockData* data);
// Takes the main window's rectangle as left, top, right, bottom (NULL when it
// could not be read: the record keeps its own) and saves the settings;
// returns what the save returned.
int SaveClockData(ClockData* data, const int32_t* rect);
// SaveClockData when the rectangle is no longer the record's, and then
// whether it wrote the file. Nothing happens without a rectangle.
bool SaveClockDataIfMoved(ClockData* data, const int32_t* rect);
// Joins WorkDir and the file name with one backslash; false when it does not fit.
bool SettingsPath(const ClockData* data, char* out, size_t size);
// Skips white space, takes an optional sign and decimal digits; no digits
// give 0, values beyond 32 bits saturate.
int32_t ParseNumber(const char* text);
