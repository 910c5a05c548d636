#pragma once

#include <QIODevice>

#include <functional>
#include <string>

// A write into a pipe whose reader went away fails with EPIPE, which the
// writer reports, instead of ending the whole program.
void IgnoreBrokenPipes();

// A file written through the system's own calls, so that every failure keeps
// its system error and its Russian reason: writes go on until every byte is
// taken, a reader that went away is EPIPE (the program ignores SIGPIPE), and
// a pipe is waited on only while `stopRequested` says no, so a cancel or the
// end of the program is never stuck behind a reader that does not read.
class TSystemFile : public QIODevice {
public:
    using StopRequested = std::function<bool()>;

    explicit TSystemFile(StopRequested stopRequested = {});
    ~TSystemFile() override;
    TSystemFile(const TSystemFile&) = delete;
    TSystemFile& operator=(const TSystemFile&) = delete;

    // Takes an open descriptor for writing; `owned` ones are closed here.
    void adopt(int descriptor, bool owned);
    // Opens a pipe or a device for writing; a pipe without a reader is
    // waited on until one comes or a stop is requested.
    bool openForWriting(const QString& path);

    int descriptor() const { return descriptor_; }
    // The errno of the first failure; 0 while none happened.
    int systemError() const { return systemError_; }

    // Writes out what is buffered; false with the reason on failure.
    bool flushBuffer();
    // Flushes and makes the bytes durable on the disk.
    bool sync();
    // Flushes and lets go of the descriptor, closing an owned one; false
    // when anything written did not reach the file.
    bool finish();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool writeAll(const char* data, qint64 size);
    bool waitUntilWritable();
    bool fail(int errorNumber);
    void release();

    StopRequested stopRequested_;
    int descriptor_ = -1;
    bool owned_ = false;
    int systemError_ = 0;
    std::string buffer_;
};
