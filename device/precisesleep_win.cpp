#include "precisesleep.h"

#include <windows.h>

void sleepPrecisely(unsigned long milliseconds)
{
    Sleep(milliseconds);
}
