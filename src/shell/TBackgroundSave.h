#pragma once

#include <QString>

#include <functional>

class TFormMain;
class TJobProgress;
class TUserDialogs;
struct TOutputFormat;
struct TOutputSource;

// Writes a file on the data viewer's worker: "Сохранено: <path>" in the
// viewer's status line once it is in place, and the viewer tells the shown
// log's export; an error box with the reason when it fails, and nothing left
// behind (nor told) when the user cancels. The save must own what it writes;
// it runs while the windows go on working.
class TBackgroundSave {
public:
    using Save = std::function<bool(const QString& path, QString* error, TJobProgress& progress)>;

    TBackgroundSave(TFormMain& viewer, TUserDialogs& dialogs);

    // Writes the format's file from `source`: prepared here, on the UI
    // thread, then written on the worker; a failed preparation is reported.
    void run(const QString& path, const TOutputFormat& format, const TOutputSource& source);
    // Whether the viewer shows measurements to save; if not, an error box says
    // so: a report of nothing is all "—", and a copy of nothing is no log.
    bool hasRowsToSave();
    // The error box, and the status line, of a file that could not be written.
    void reportFailure(const QString& path, const QString& reason);

private:
    // `detail` names the file in the archive's trail.
    void run(const QString& path, const QString& detail, Save save);

    TFormMain& viewer_;
    TUserDialogs& dialogs_;
};
