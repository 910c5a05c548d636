// Preloaded into a test's process, it stands in for a drive that fails
// part-way through a read (unplugged mid-load, a bad sector): read() of the
// file named by KORVI_FAILING_FILE fails with EIO once the descriptor's
// offset reaches KORVI_FAILING_AFTER bytes. Every other read goes on as usual.
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Read = ssize_t (*)(int, void*, size_t);

// The byte from which reads of this descriptor fail; -1 when they do not.
off_t failingFrom(int descriptor)
{
    const char* path = std::getenv("KORVI_FAILING_FILE");
    const char* after = std::getenv("KORVI_FAILING_AFTER");
    struct stat failing {};
    struct stat reading {};
    if (!path || !after || ::stat(path, &failing) != 0 || ::fstat(descriptor, &reading) != 0)
        return -1;
    return failing.st_dev == reading.st_dev && failing.st_ino == reading.st_ino ? off_t(std::atoll(after)) : -1;
}

} // namespace

extern "C" ssize_t read(int descriptor, void* buffer, size_t count)
{
    static const auto systemRead = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "read"));
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
