#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QByteArray;
class TBackgroundJob;
class TJobProgress;
class TLoader;
class TLoggerConnection;
class TWorkerPost;
class VolumeSource;
struct TLoadRequest;
struct TLoadResult;

// Where a load read its log from: the logger's drives, a saved file, or the archive.
enum class TLoadOrigin { Drives, File, Archive };

// How a load ended: read (result holds what it read, maybe with a failure)
// or cancelled (no result).
struct TLoadOutcome {
    quint64 serial = 0;
    TLoadOrigin origin = TLoadOrigin::Drives;
    QString name; // the file's path or the archived log's label; empty for the drives
    std::shared_ptr<TLoadResult> result; // null when cancelled
};

// The data viewer's loads: each runs as one job on the viewer's worker, its
// progress text comes here on the UI thread, and its end is one `finished`
// signal the viewer shows. Every load has a serial number, and what a load
// cancelled and left to end on its worker still sends is dropped, so it never
// reaches the load after it.
class TLogLoads : public QObject {
    Q_OBJECT
public:
    // Told, on the receiver's thread and only while it exists, why an opened
    // log was not shown; empty when it was shown or the user cancelled it.
    using Done = std::function<void(const QString& failure)>;

    TLogLoads(TBackgroundJob& job, TLoggerConnection& connection, const VolumeSource& volumes,
              QObject* parent = nullptr);
    // The worker is cut off from this object: a worker still ending sends nothing more.
    ~TLogLoads() override;

    // Loads the logger's log from every drive labelled as the logger; false,
    // and nothing starts, while another job runs.
    bool loadFromDrives();
    // Loads a saved log file; `done` is told the outcome, at once when another job runs.
    void loadFile(const QString& path, QObject* receiver, Done done);
    // Loads a log kept in the archive, named by its label, as a file is loaded.
    void loadArchived(const QString& label, const QByteArray& raw, QObject* receiver, Done done);

    bool isLoading() const { return serialRunning_ != 0; }
    // Cancels the running load; a report or a save running instead goes on.
    void cancel();

signals:
    // The load's progress text, at most once a display frame and its last one at the end.
    void progressed(const QString& text);
    // The running load ended, before its Done is told.
    void finished(const TLoadOutcome& outcome);

private:
    using LoadWork = std::function<TLoadResult(TLoader&, const TLoadRequest&)>;
    bool start(TLoadOrigin origin, const QString& name, TLoadRequest request, LoadWork load);
    void startOpening(TLoadOrigin origin, const QString& name, TLoadRequest request, LoadWork load,
                      QObject* receiver, Done done);
    TLoadRequest requestWithRecordCount() const;
    void showProgress(quint64 serial, const QString& text);
    void end(TLoadOutcome outcome);

    TBackgroundJob& job_;
    TLoggerConnection& connection_;
    const VolumeSource& volumes_;
    std::shared_ptr<TWorkerPost> post_;
    quint64 lastSerial_ = 0;
    quint64 serialRunning_ = 0; // 0 while no load runs
    QPointer<QObject> doneReceiver_;
    Done done_;
    QElapsedTimer progressPainted_;
    QString lastProgressText_; // the load's latest, maybe not passed on yet
};
