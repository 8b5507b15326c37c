// Bounded formatting into fixed buffers, for the display lines and the settings.
#pragma once
#include <stddef.h>

// Bounded printf into out; always zero-terminated, returns false when cut.
bool FormatText(char* out, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
