#pragma once

#include "shell/TPlatform.h"

#include <QLockFile>
#include <QString>

#include <memory>

class SimulatedLogger;

// The simulated logger of --simulate, plugged in from the start: its drive is a
// folder of this process under the user's temporary directory, removed when
// the program ends; folders of runs that were killed are removed at the next
// start (each run holds a lock file beside its folder while it lives).
class SimulatedPlatform {
public:
    // logFile: a log to use as the logger's data.log, at most one log memory
    // of a regular file; empty for a generated one of several days.
    // readingsFile: a script its live readings follow from now on
    // (ParseReadingScript); empty for readings that wander by themselves.
    // Throws when the drive, the log or the script cannot be made.
    explicit SimulatedPlatform(const QString& logFile, const QString& readingsFile = {});
    ~SimulatedPlatform();

    TPlatform takePlatform();
    QString driveFolder() const { return drive_; }
    std::shared_ptr<SimulatedLogger> logger() const { return logger_; }

    static constexpr const char* DrivePrefix = "korvi-simulate-";

private:
    QString drive_;
    QLockFile driveLock_;
    std::shared_ptr<SimulatedLogger> logger_;
    TPlatform platform_;
};
