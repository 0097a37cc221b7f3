#include "precisesleep.h"

#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

void sleepPrecisely(unsigned long milliseconds)
{
    // The kernel may let a sleep run late by the thread's timer slack
    // (50 us by default) to group wake-ups; none for this one.
    const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += time_t(milliseconds / 1000);
    until.tv_nsec += long(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    if (slack > 0)
        prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(slack), 0, 0, 0);
}
