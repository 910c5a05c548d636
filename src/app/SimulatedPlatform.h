#pragma once

#include "shell/TPlatform.h"

#include <QTemporaryDir>

#include <memory>

class SimulatedLogger;

// The simulated logger of --simulate, plugged in from the start: its drive is a
// folder under the user's temporary directory, removed when the program ends.
class SimulatedPlatform {
public:
    // logFile: a log to use as the logger's data.log; empty for a generated
    // one of several days. Throws when the drive or the log cannot be made.
    explicit SimulatedPlatform(const QString& logFile);
    ~SimulatedPlatform();

    TPlatform TakePlatform();

private:
    QTemporaryDir Drive;
    std::shared_ptr<SimulatedLogger> Logger;
    TPlatform Platform;
};
