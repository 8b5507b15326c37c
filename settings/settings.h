// The settings file Velmaris.ini in the working directory: loaded into
// ClockData at start-up, also when it may only be read; written back in full,
// in one fixed key order: at close, and as soon as a setting or the window's
// place changes. A file that could not be read is not written over until the
// user has set every value with OK in Settings.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "clock.h"

extern const char SettingsFileName[];  // "Velmaris.ini"

// Record set-up on a zeroed record: working directory, settings file, derived values.
void InitClockData(ClockData* data);

// save = 0 loads, save = 1 saves. A load opens the file for reading and
// writing, or else for reading only, and returns 1 when it read the file. A
// save returns 1 when it wrote the file; it writes nothing after a load that
// could not read it, until SettingsChosen.
int TransferSettings(ClockData* data, int save);
// The user has set every setting with OK in Settings: the record may be saved
// even over a file that could not be read at start-up.
void SettingsChosen();
// Takes the main window's current rectangle (kept as it was when that query
// fails) and saves the settings; returns what the save returned.
int SaveClockData(ClockData* data);
// SaveClockData when the main window's rectangle is no longer the record's,
// and then whether it wrote the file. Nothing happens when the rectangle
// cannot be read.
bool SaveClockDataIfMoved(ClockData* data);
// Joins WorkDir and the file name with one backslash; false when it does not fit.
bool SettingsPath(const ClockData* data, char* out, size_t size);
// Skips white space, takes an optional sign and decimal digits; no digits
// give 0, values beyond 32 bits saturate.
int32_t ParseNumber(const char* text);
