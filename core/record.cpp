#include "record.h"

int32_t PresetDurationMs(int32_t minutes, int32_t seconds)
{
    uint32_t total = ((uint32_t)minutes * 60u + (uint32_t)seconds) * 1000u;
    return (int32_t)total;
}
