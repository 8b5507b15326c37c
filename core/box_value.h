// The value that the text of one of the settings dialog's number boxes gives.
#pragma once
#include <stdint.h>

// As read into BoxTextSize bytes: a whole number from low to high, spaces
// around it allowed, counts; anything else, a text that filled the buffer
// among it, gives the fallback.
enum { BoxTextSize = 16 };
int32_t BoxValue(const char* text, int32_t low, int32_t high, int32_t fallback);
