// Preloaded into a test's process, it stands in for a drive that fails
// part-way through a read (unplugged mid-load, a bad sector): read() of the
// file named by KORVI_FAILING_FILE fails with EIO once the descriptor's
// offset reaches KORVI_FAILING_AFTER bytes. It stands in for a slow drive
// too (a network share, a drive that hangs): every read() of the file named
// by KORVI_SLOW_FILE takes KORVI_SLOW_READ_MS first. Every other read goes
// on as usual.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Read = ssize_t (*)(int, void*, size_t);

// Whether the descriptor reads the file the variable `fileVariable` names.
bool reads(int descriptor, const char* fileVariable)
{
    const char* path = std::getenv(fileVariable);
    struct stat named {};
    struct stat reading {};
    if (!path || ::stat(path, &named) != 0 || ::fstat(descriptor, &reading) != 0)
        return false;
    return named.st_dev == reading.st_dev && named.st_ino == reading.st_ino;
}

// The byte from which reads of this descriptor fail; -1 when they do not.
off_t failingFrom(int descriptor)
{
    const char* after = std::getenv("KORVI_FAILING_AFTER");
    return after && reads(descriptor, "KORVI_FAILING_FILE") ? off_t(std::atoll(after)) : -1;
}

// How long each read of this descriptor takes before it reads.
std::chrono::milliseconds slowedBy(int descriptor)
{
    const char* delay = std::getenv("KORVI_SLOW_READ_MS");
    return std::chrono::milliseconds(delay && reads(descriptor, "KORVI_SLOW_FILE") ? std::atoll(delay) : 0);
}

} // namespace

extern "C" ssize_t read(int descriptor, void* buffer, size_t count)
{
    static const auto systemRead = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "read"));
    std::this_thread::sleep_for(slowedBy(descriptor));
    if (const off_t limit = failingFrom(descriptor); limit >= 0) {
        const off_t at = ::lseek(descriptor, 0, SEEK_CUR);
        if (at >= limit) {
            errno = EIO;
            return -1;
        }
        count = std::min(count, size_t(limit - at));
    }
    return systemRead(descriptor, buffer, count);
}
