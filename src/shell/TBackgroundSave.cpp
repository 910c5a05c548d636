#include "shell/TBackgroundSave.h"

#include "data/MeasurementStore.h"
#include "reports/OutputFormats.h"
#include "shell/TBackgroundJob.h"
#include "shell/TFormMain.h"
#include "shell/TUserDialogs.h"

#include <QDir>

#include <memory>

TBackgroundSave::TBackgroundSave(TFormMain& viewer, TUserDialogs& dialogs)
    : viewer_(viewer)
    , dialogs_(dialogs)
{
}

void TBackgroundSave::run(const QString& path, const TOutputFormat& format, const TOutputSource& source)
{
    QString error;
    TOutputJob job = format.prepare(source, &error);
    if (!job) {
        reportFailure(path, error);
        return;
    }
    run(path, OutputFileDetail(format, path),
        [job = std::move(job)](const QString& target, QString* reason, TJobProgress& progress) {
            return job(target, reason, &progress);
        });
}

void TBackgroundSave::run(const QString& path, const QString& detail, Save save)
{
    struct Outcome {
        bool saved = false;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const QString shownPath = QDir::toNativeSeparators(path);
    const bool started = viewer_.backgroundJob().start(
        QStringLiteral("Запись %1").arg(shownPath),
        [outcome, path, save = std::move(save)](TJobProgress& progress) {
            outcome->saved = save(path, &outcome->error, progress);
        },
        // The log written is the one shown now, whatever is shown when the save ends.
        [this, outcome, path, shownPath, log = viewer_.shownLog(), detail](bool cancelled) {
            if (outcome->saved) {
                viewer_.showSaved(path);
                viewer_.noteExported(log, detail);
            } else if (cancelled) {
                viewer_.showStatus(QStringLiteral("Запись отменена: ") + shownPath);
            } else {
                reportFailure(path, outcome->error);
            }
        });
    if (!started) {
        dialogs_.showError(&viewer_, QStringLiteral("Не удалось записать %1: сначала должна закончиться %2")
                                        .arg(path, viewer_.backgroundJob().title().toLower()));
    }
}

bool TBackgroundSave::hasRowsToSave()
{
    if (viewer_.store().DataRowCount() > 0)
        return true;
    dialogs_.showError(&viewer_, QStringLiteral("Нечего сохранять: не загружен журнал с измерениями"));
    return false;
}

void TBackgroundSave::reportFailure(const QString& path, const QString& reason)
{
    const QString message = QStringLiteral("Не удалось записать %1: %2").arg(path, reason);
    // The status line said the file was being written; it says what became of it.
    viewer_.showStatus(message);
    dialogs_.showError(&viewer_, message);
}
