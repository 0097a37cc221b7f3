#pragma once

#include <cstdint>
#include <vector>

typedef struct _XDisplay Display;

// An observer on the X display: when a process's top-level window is
// mapped, and when the server delivers key presses (XInput2 raw events, the
// same events the program's key capture receives), timed on the monotonic
// clock as they arrive.
class XWatch
{
public:
    XWatch();
    ~XWatch();
    XWatch(const XWatch &) = delete;
    XWatch &operator=(const XWatch &) = delete;

    bool isValid() const { return display != nullptr; }

    // Drops whatever arrived so far.
    void clear();
    // Time a window whose _NET_WM_PID is pid was mapped; -1 on time-out.
    std::int64_t waitForMap(std::int64_t pid, int timeoutMs);
    // Times of the next `count` raw key presses; fewer on time-out.
    std::vector<std::int64_t> rawKeyPresses(int count, int timeoutMs);

private:
    // Waits for the next event; false on time-out.
    bool nextEvent(std::int64_t deadlineNs);
    std::int64_t windowPid(unsigned long window);

    Display *display = nullptr;
    int xiOpcode = 0;
    unsigned long pidAtom = 0;
    // The last event read.
    enum class Kind { Other, Map, RawKeyPress } kind = Kind::Other;
    unsigned long mappedWindow = 0;
    std::int64_t arrivedNs = 0;
};
