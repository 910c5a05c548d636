#include "archive/ArchiveTexts.h"

#include "data/CellFormatter.h"
#include "data/Timestamp.h"

#include <QDateTime>

QString ArchiveStampTimeText(const TArchiveStamp& stamp, const TCellFormatter& formatter)
{
    const QDateTime at = QDateTime::fromSecsSinceEpoch(stamp.utcSeconds, Qt::OffsetFromUTC, stamp.utcOffsetSeconds);
    const qint64 wallClock = TimestampSeconds(at.date().year(), at.date().month(), at.date().day(), at.time().hour(),
                                              at.time().minute(), at.time().second());
    return formatter.dateTimeText(wallClock) + QLatin1Char(' ') + at.timeZoneAbbreviation();
}

QString ArchiveStampByText(const TArchiveStamp& stamp)
{
    return stamp.host.isEmpty() ? stamp.user : stamp.user + QLatin1Char('@') + stamp.host;
}

QStringList TrailColumnCaptions()
{
    return {QStringLiteral("Время"),   QStringLiteral("Прибор"),      QStringLiteral("Запись"),
            QStringLiteral("Событие"), QStringLiteral("Подробности"), QStringLiteral("Пользователь")};
}

QStringList TrailRowTexts(const TArchiveEvent& event, const TCellFormatter& formatter)
{
    return {ArchiveStampTimeText(event.stamp, formatter),
            event.label,
            event.entryId != 0 ? QString::number(event.entryId) : QString(),
            ArchiveEventKindTitle(event.kind),
            event.detail,
            ArchiveStampByText(event.stamp)};
}
