#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Takes typed values off the front of a fuzzer's input; once it runs dry every
// value is zero and every text empty, so a short input is still a whole case.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take()
    {
        T value{};
        const size_t count = std::min(sizeof(T), size_);
        if (count > 0)
            std::memcpy(&value, data_, count);
        advance(count);
        return value;
    }

    QByteArray takeBytes(size_t count)
    {
        count = std::min(count, size_);
        QByteArray bytes(reinterpret_cast<const char*>(data_), qsizetype(count));
        advance(count);
        return bytes;
    }

    // A text of at most maxBytes UTF-8 bytes, its length given by the input.
    QString takeText(size_t maxBytes)
    {
        return QString::fromUtf8(takeBytes(take<uint8_t>() % (maxBytes + 1)));
    }

    QByteArray rest() { return takeBytes(size_); }
    bool empty() const { return size_ == 0; }

private:
    void advance(size_t count)
    {
        data_ += count;
        size_ -= count;
    }

    const uint8_t* data_;
    size_t size_;
};

// Stops the run with the failed condition named, so a finding says what broke.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
