#include "archive/TMonitorDayKeeper.h"

#include "archive/TArchiveKeeper.h"
#include "data/ReadSource.h"

#include <QDir>
#include <QFile>

#include <algorithm>

TMonitorDayKeeper::TMonitorDayKeeper(TArchiveKeeper& keeper, QObject* parent)
    : QObject(parent)
    , keeper_(keeper)
{
    connect(&keeper_, &TArchiveKeeper::kept, this,
            [this](qint64, bool, const QString& label) { keptOne(label); });
}

QString TMonitorDayKeeper::archiveLabel(const QString& loggerLabel)
{
    return loggerLabel + QStringLiteral(" (монитор)");
}

void TMonitorDayKeeper::store(const QString& loggerLabel, const QString& path)
{
    std::deque<QString>& files = waiting_[archiveLabel(loggerLabel)];
    if (std::find(files.cbegin(), files.cend(), path) != files.cend())
        return;
    files.push_back(path);
    if (files.size() == 1)
        giveFirst(archiveLabel(loggerLabel));
}

void TMonitorDayKeeper::giveFirst(const QString& archiveLabel)
{
    std::deque<QString>& files = waiting_[archiveLabel];
    while (!files.empty()) {
        const QString& path = files.front();
        QString error;
        const std::optional<QByteArray> raw = ReadFileBytes(path, &error);
        if (raw && !raw->isEmpty()) {
            keeper_.keep(archiveLabel, *raw, QStringLiteral("Монитор: ") + QDir::toNativeSeparators(path));
            return;
        }
        // A day with no record written (every write failed) holds nothing to keep.
        if (raw && !QFile::remove(path))
            error = QStringLiteral("не удалось удалить файл");
        if (!error.isEmpty())
            emit failed(QStringLiteral("Запись монитора %1 не сохранена в архиве: %2")
                            .arg(QDir::toNativeSeparators(path), error));
        files.pop_front();
    }
}

void TMonitorDayKeeper::keptOne(const QString& archiveLabel)
{
    const auto found = waiting_.find(archiveLabel);
    if (found == waiting_.end() || found->second.empty())
        return;
    const QString path = found->second.front();
    found->second.pop_front();
    if (!QFile::remove(path))
        emit failed(QStringLiteral("Запись монитора %1 сохранена в архиве, но её файл не удалён")
                        .arg(QDir::toNativeSeparators(path)));
    giveFirst(archiveLabel);
}
