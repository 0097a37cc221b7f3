#pragma once

// Sleeps for the given time with as little overshoot as the system allows.
// The protocol's pauses are short (8 ms after some commands): the few tenths
// of a millisecond a default sleep may add would be a noticeable part.
void sleepPrecisely(unsigned long milliseconds);
