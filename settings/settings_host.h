// What the settings need from the window system besides the profile: where
// the main window is, and the directory the settings file lies in. The shell
// implements them with Win32 calls; the tests link stand-ins.
#pragma once
#include <stdint.h>

// The main window's screen rectangle as left, top, right, bottom; false on failure.
bool HostMainWindowRect(int32_t rect[4]);
// Copies the current directory into out (size bytes); returns its length,
// 0 on failure or when it does not fit.
uint32_t HostCurrentDirectory(char* out, uint32_t size);
