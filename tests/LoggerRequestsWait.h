#pragma once

#include "device/TLoggerRequests.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <optional>
#include <type_traits>

// Lets the logger's thread answer every request asked so far, the event loop
// turning meanwhile (each answer wakes it); false if it did not in time.
inline bool finishLoggerRequests(TLoggerRequests& requests, int timeoutMs = 60000)
{
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(timeoutMs);
    while (!requests.isIdle()) {
        if (!limit.isActive())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs work(link) as a request and returns its result once it is back;
// ends the test run if it never comes.
template <typename Work>
auto requestResult(TLoggerRequests& requests, Work work)
{
    using Result = std::invoke_result_t<Work&, TDeviceLink&>;
    const auto finish = [&requests] {
        if (!finishLoggerRequests(requests))
            qFatal("the logger's thread did not answer a request");
    };
    if constexpr (std::is_void_v<Result>) {
        requests.run(&requests, std::move(work), [] {});
        finish();
    } else {
        std::optional<Result> result;
        requests.run(&requests, std::move(work), [&result](Result answer) { result = std::move(answer); });
        finish();
        return *result;
    }
}
