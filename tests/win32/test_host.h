// The host for the Windows settings tests: the real current directory, and
// a window rectangle the test sets.
#pragma once
#include <stdint.h>

extern bool testRectOk;
extern int32_t testRect[4];
