#include "text.h"

#include <stdarg.h>
#include <stdio.h>

bool FormatText(char* out, size_t size, const char* format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
#if defined(_WIN32)
    // msvcrt's _snprintf keeps the executable small; it does not terminate on truncation.
    int n = _vsnprintf(out, size, format, args);
    out[size - 1] = '\0';
#else
    int n = vsnprintf(out, size, format, args);
#endif
    va_end(args);
    return n >= 0 && (size_t)n < size;
}
