#pragma once

#include "data/LogRecord.h"
#include "monitor/TLivePoll.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <vector>

// A day of one logger's record, as a file of the record's folder.
struct TRecordedDay {
    QString label;
    QDate day;
    QString path;
};

// The PC's own record of what the monitor watched, kept as the logger keeps
// its data.log: one file of 16-byte records per logger label and local day,
// `<folder>/<label>/<yyyy-MM-dd>.log`, at a 10-second interval. Each slot of
// 10 seconds on the wall clock takes the last measurement made in it; a slot
// with no channel measured (the logger silent, the monitor stopped) writes
// nothing, so the record ends there and the viewer shows a gap. A slot is
// written once the next one begins: a record is appended, or the file's last
// record rewritten in place while the same values repeat, so a crash loses
// at most the slot in progress. Writes are single pwrite(2) calls, without
// fsync, cheap enough for the UI thread.
class TMonitorRecord : public QObject {
    Q_OBJECT
public:
    static constexpr int SlotSeconds = 10;
    static constexpr int IntervalCode = 3; // 10 s in data.log's table of intervals

    explicit TMonitorRecord(const QString& folder, QObject* parent = nullptr);
    // Writes each logger's slot in progress: a program that ends loses nothing.
    ~TMonitorRecord() override;

    // `monitor-record` beside the program's settings file.
    static QString defaultFolder();

    const QString& folder() const { return folder_; }
    QString dayPath(const QString& label, const QDate& day) const;

    // A poll cycle's measurement of the logger labelled `label`; one of a slot
    // before the one in progress (the clock set back) is left out.
    void take(const QString& label, const TLiveMeasurement& measurement);

    // The files of the days before `today`, oldest first.
    std::vector<TRecordedDay> daysBefore(const QDate& today) const;

signals:
    // The logger's file of a day is complete: a measurement of a later day came.
    void dayEnded(const QString& label, const QString& path);
    // A write failed: told once, until a write of that logger succeeds again.
    void failed(const QString& reason);

private:
    struct Slot {
        qint64 start = 0; // whole seconds, data/Timestamp.h
        std::array<std::optional<int>, 3> tenths;
    };
    // One logger's day being written: its file, open after the first slot
    // written, and the file's last record. A failed write closes the file, so
    // the next one starts again from what the file really holds.
    struct Logger {
        std::optional<Slot> inProgress;
        QDate day;
        int descriptor = -1;
        qint64 recordCount = 0;
        std::optional<TLogRecord> last;
        qint64 lastStart = 0;
        bool failing = false;
    };

    void writeSlot(const QString& label, Logger& logger, const Slot& slot);
    // Opens the logger's file of its day and reads its last record.
    bool openDay(const QString& label, Logger& logger, QString* error);
    // Writes the record at `index` of the file; closes the file on failure.
    bool writeRecord(Logger& logger, const TLogRecord& record, qint64 index, QString* error);
    static void closeFile(Logger& logger);

    QString folder_;
    std::map<QString, Logger> loggers_;
};

