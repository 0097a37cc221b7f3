// Fails file calls of this process on purpose. The test executable defines
// read, write, fsync, fdatasync, rename, link and linkat itself, so Qt's calls
// and ours come here first (symbol interposition, as an LD_PRELOAD shim
// would do) and go on to the C library through RTLD_NEXT. Only calls on
// files below the armed folder (or on relative paths) count.

#include "faultinjection.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {
std::string root;
std::atomic<long> counted{0};
long failAt = 0;
faultinjection::Mode mode = faultinjection::Once;
bool failing = false;
std::string onlyCall;

template <typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool inRoot(const char *path)
{
    if (root.empty() || !path)
        return false;
    return path[0] != '/' || std::strncmp(path, root.c_str(), root.size()) == 0;
}

bool fdInRoot(int fd)
{
    if (root.empty() || fd < 3)
        return false;
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = real<ssize_t (*)(const char *, char *, size_t)>("readlink")(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return std::strncmp(target, root.c_str(), root.size()) == 0;
}

int failWith(int error)
{
    errno = error;
    return -1;
}

// Whether this counted call fails. Once: only the armed call. Sticky (a
// disk that stays full): the armed call and every later one.
bool failsNow(const char *call)
{
    if (!onlyCall.empty() && onlyCall != call)
        return false;
    const long n = ++counted;
    if (std::getenv("R770_FAULT_TRACE"))
        std::fprintf(stderr, "call %ld: %s\n", n, call);
    if (failAt <= 0)
        return false;
    if (n == failAt)
        failing = true;
    else if (mode == faultinjection::Once)
        failing = false;
    return failing;
}
} // namespace

namespace faultinjection {

void arm(const QString &folder, long at, Mode how, const char *only)
{
    root = folder.toStdString();
    onlyCall = only ? only : "";
    counted = 0;
    failAt = at;
    mode = how;
    failing = false;
}

void disarm()
{
    root.clear();
    onlyCall.clear();
    failAt = 0;
    failing = false;
}

long calls()
{
    return counted;
}

} // namespace faultinjection

extern "C" {

ssize_t read(int fd, void *buf, size_t count)
{
    static auto next = real<ssize_t (*)(int, void *, size_t)>("read");
    if (onlyCall == "read" && fdInRoot(fd) && failsNow("read"))
        return failWith(EIO);
    return next(fd, buf, count);
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static auto next = real<ssize_t (*)(int, const void *, size_t)>("write");
    if (fdInRoot(fd) && failsNow("write")) {
        // A disk filling up in the middle of a write: part of it lands.
        if (mode == faultinjection::Sticky && long(counted) == failAt && count > 1)
            return next(fd, buf, count / 2);
        return failWith(ENOSPC);
    }
    return next(fd, buf, count);
}

int fsync(int fd)
{
    static auto next = real<int (*)(int)>("fsync");
    if (fdInRoot(fd) && failsNow("fsync"))
        return failWith(EIO);
    return next(fd);
}

int fdatasync(int fd)
{
    static auto next = real<int (*)(int)>("fdatasync");
    if (fdInRoot(fd) && failsNow("fdatasync"))
        return failWith(EIO);
    return next(fd);
}

int rename(const char *from, const char *to)
{
    static auto next = real<int (*)(const char *, const char *)>("rename");
    if (inRoot(to) && failsNow("rename"))
        return failWith(EIO);
    return next(from, to);
}

int link(const char *from, const char *to)
{
    static auto next = real<int (*)(const char *, const char *)>("link");
    if (inRoot(to) && failsNow("link"))
        return failWith(ENOSPC);
    return next(from, to);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    static auto next = real<int (*)(int, const char *, int, const char *, int)>("linkat");
    if (inRoot(to) && failsNow("linkat"))
        return failWith(ENOSPC);
    return next(fromDir, from, toDir, to, flags);
}

} // extern "C"
