// The settings file Velmaris.ini in the working directory: loaded into
// ClockData at start-up, written back in full, in one fixed key order: at close,
// and as soon as a setting or the window's place changes.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "../core/clock.h"

extern const char SettingsFileName[];  // "Velmaris.ini"

// save = 0 loads, save = 1 saves. Returns 1 when the file could be opened, else 0.
int TransferSettings(ClockData* data, int save);
// Takes the main window's current rectangle (kept as it was when that query
// fails) and saves the settings.
void SaveClockData(ClockData* data);
// SaveClockData when the main window's rectangle is no longer the record's,
// and then true. Nothing happens when the rectangle cannot be read.
bool SaveClockDataIfMoved(ClockData* data);
// Joins WorkDir and the file name with one backslash; false when it does not fit.
bool SettingsPath(const ClockData* data, char* out, size_t size);
// Skips white space, takes an optional sign and decimal digits; no digits
// give 0, values beyond 32 bits saturate.
int32_t ParseNumber(const char* text);
