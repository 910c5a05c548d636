#include "data/SystemFile.h"

#include "data/FileSave.h"

#include <QFile>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Small writes (a PDF's objects, a bitmap's lines) gather to this size before
// they reach the system.
constexpr size_t BufferSize = 1 << 16;
// How often a wait for a pipe's reader looks whether it should stop.
constexpr int WaitStepMs = 50;

} // namespace

void IgnoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

TSystemFile::TSystemFile(StopRequested stopRequested)
    : stopRequested_(std::move(stopRequested))
{
}

TSystemFile::~TSystemFile()
{
    release();
}

void TSystemFile::adopt(int descriptor, bool owned)
{
    release();
    descriptor_ = descriptor;
    owned_ = owned;
    systemError_ = 0;
    buffer_.clear();
    buffer_.reserve(BufferSize);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool TSystemFile::openForWriting(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    for (;;) {
        // Not blocking: a pipe without a reader answers ENXIO at once instead
        // of holding the call until one comes.
        const int descriptor = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (descriptor >= 0) {
            adopt(descriptor, true);
            return true;
        }
        if (errno == EINTR)
            continue;
        if (errno != ENXIO)
            return fail(errno);
        if (stopRequested_ && stopRequested_())
            return fail(ECANCELED);
        ::poll(nullptr, 0, WaitStepMs);
    }
}

qint64 TSystemFile::writeData(const char* data, qint64 size)
{
    if (systemError_ != 0)
        return -1;
    if (buffer_.size() + size_t(size) > BufferSize && !flushBuffer())
        return -1;
    if (size_t(size) >= BufferSize)
        return writeAll(data, size) ? size : -1;
    buffer_.append(data, size_t(size));
    return size;
}

bool TSystemFile::flushBuffer()
{
    if (systemError_ != 0)
        return false;
    const bool written = writeAll(buffer_.data(), qint64(buffer_.size()));
    buffer_.clear();
    return written;
}

bool TSystemFile::sync()
{
    if (!flushBuffer())
        return false;
    return ::fsync(descriptor_) == 0 || fail(errno);
}

bool TSystemFile::finish()
{
    const bool flushed = flushBuffer();
    // Some file systems report a failed write only when the file is closed.
    if (owned_ && descriptor_ >= 0 && ::close(descriptor_) != 0 && errno != EINTR)
        fail(errno);
    descriptor_ = -1;
    QIODevice::close();
    return flushed && systemError_ == 0;
}

bool TSystemFile::writeAll(const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, data, size_t(size));
        if (written > 0) {
            data += written;
            size -= written;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitUntilWritable())
                return false;
        } else if (written < 0 && errno != EINTR) {
            return fail(errno);
        } else if (written == 0) {
            return fail(EIO);
        }
    }
    return true;
}

// A full pipe is waited on in steps, so that a stop request is heard while
// its reader does not read.
bool TSystemFile::waitUntilWritable()
{
    for (;;) {
        if (stopRequested_ && stopRequested_())
            return fail(ECANCELED);
        pollfd watched{descriptor_, POLLOUT, 0};
        const int ready = ::poll(&watched, 1, WaitStepMs);
        if (ready > 0)
            return true; // writable, or the reader left, which the next write tells
        if (ready < 0 && errno != EINTR)
            return fail(errno);
    }
}

bool TSystemFile::fail(int errorNumber)
{
    if (systemError_ == 0) {
        systemError_ = errorNumber;
        setErrorString(SystemErrorReason(errorNumber, true));
    }
    return false;
}

void TSystemFile::release()
{
    if (owned_ && descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    owned_ = false;
}
