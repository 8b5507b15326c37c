#include "box_value.h"

#include <string.h>

int32_t BoxValue(const char* text, int32_t low, int32_t high, int32_t fallback)
{
    size_t length = strlen(text);
    if (length == 0 || length >= BoxTextSize - 1)  // empty, or cut short
        return fallback;
    const char* p = text;
    while (*p == ' ')
        ++p;
    int32_t value = 0;
    const char* digits = p;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= high)  // stops growing once out of range, so never overflows
            value = value * 10 + (*p - '0');
    bool number = p != digits;
    while (*p == ' ')
        ++p;
    if (!number || *p != '\0' || value < low || value > high)
        return fallback;
    return value;
}
