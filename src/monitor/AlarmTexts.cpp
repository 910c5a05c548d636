#include "monitor/AlarmTexts.h"

#include "text/FormatLocale.h"

#include <QStringList>

#include <cstdlib>

namespace {

struct TChannelWords {
    const char* symbol;
    const char* unit;
};
constexpr TChannelWords ChannelWords[] = {{"t", "°C"}, {"RH", "%"}, {"p", "кПа"}};

QString valueText(int slot, int tenths, const QLocale& locale)
{
    return locale.toString(tenths / 10.0, 'f', 1) + QLatin1Char(' ') + QString::fromUtf8(ChannelWords[slot].unit);
}

QString momentText(const QDateTime& at, const QDate& today, const QLocale& locale)
{
    const QDateTime local = at.toLocalTime();
    const QString time = locale.toString(local.time(), LongTimeFormat(locale));
    return local.date() == today ? time : local.date().toString(QStringLiteral("dd.MM.yyyy ")) + time;
}

// "+03:00", "-05:30".
QString offsetText(int seconds)
{
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? u'-' : u'+')
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString sideText(TAlarmCause cause)
{
    return cause == TAlarmCause::Above ? QStringLiteral("выше") : QStringLiteral("ниже");
}

// "t выше 8,0 °C с 14:05:12" without the value: what an alarm was about.
QString subjectText(const TAlarm& alarm, const QDate& today, const QLocale& locale)
{
    if (alarm.cause == TAlarmCause::Silent)
        return QStringLiteral("нет данных от прибора с %1").arg(momentText(alarm.since, today, locale));
    return QStringLiteral("%1 %2 %3 с %4")
        .arg(QString::fromUtf8(ChannelWords[alarm.slot].symbol), sideText(alarm.cause),
             valueText(alarm.slot, alarm.limit, locale), momentText(alarm.since, today, locale));
}

} // namespace

QString AlarmReadingText(int slot, int tenths, const QLocale& locale)
{
    return QString::fromUtf8(ChannelWords[slot].symbol) + QStringLiteral(" = ") + valueText(slot, tenths, locale);
}

QString AlarmDescription(const TAlarm& alarm, const QDate& today, const QLocale& locale)
{
    if (alarm.cause == TAlarmCause::Silent)
        return subjectText(alarm, today, locale);
    return QStringLiteral("%1 %2 %3 с %4")
        .arg(AlarmReadingText(alarm.slot, alarm.value, locale), sideText(alarm.cause),
             valueText(alarm.slot, alarm.limit, locale), momentText(alarm.since, today, locale));
}

QString AlarmStatusText(const std::vector<TAlarm>& standing, const QDate& today, const QLocale& locale)
{
    QStringList parts;
    for (const TAlarm& alarm : standing)
        parts << AlarmDescription(alarm, today, locale) + (alarm.acknowledged ? QStringLiteral(" (подтверждена)") : QString());
    return QStringLiteral("ТРЕВОГА: ") + parts.join(QStringLiteral("; "));
}

QString AlarmRestoredText(const QDateTime& at, const QDate& today, const QLocale& locale)
{
    return QStringLiteral("Норма восстановлена в %1").arg(momentText(at, today, locale));
}

QString AlarmNoticeDetail(const TAlarmNotice& notice, int delaySeconds, const QLocale& locale)
{
    const TAlarm& alarm = notice.alarm;
    const QDate day = notice.at.toLocalTime().date();
    switch (notice.kind) {
    case TAlarmNoticeKind::Start:
        return QStringLiteral("%1; задержка %2 с").arg(AlarmDescription(alarm, day, locale)).arg(delaySeconds);
    case TAlarmNoticeKind::Repeat:
        return AlarmDescription(alarm, day, locale) + QStringLiteral("; не подтверждена");
    case TAlarmNoticeKind::Acknowledge:
        return QStringLiteral("%1; комментарий: %2").arg(subjectText(alarm, day, locale), notice.comment);
    case TAlarmNoticeKind::End:
        break;
    }
    QStringList facts;
    if (notice.comment.isEmpty() && alarm.cause != TAlarmCause::Silent)
        facts << AlarmReadingText(alarm.slot, alarm.value, locale);
    facts << QStringLiteral("длительность ") + DurationText(alarm.since.secsTo(notice.at));
    if (alarm.cause != TAlarmCause::Silent)
        facts << QStringLiteral("экстремум ") + valueText(alarm.slot, alarm.extreme, locale);
    if (!notice.comment.isEmpty())
        facts << notice.comment;
    return QStringLiteral("%1 закончилась в %2: %3")
        .arg(subjectText(alarm, day, locale), momentText(notice.at, day, locale), facts.join(QStringLiteral(", ")));
}

QString AlarmMailBody(const TAlarmNotice& notice, const QString& loggerLabel, const QString& detail,
                      const QString& account, const QLocale& locale)
{
    const QDateTime local = notice.at.toLocalTime();
    QStringList lines{
        AlarmNoticeTitle(notice, loggerLabel),
        detail,
        QStringLiteral("Время: %1 %2 (UTC%3)")
            .arg(local.date().toString(QStringLiteral("dd.MM.yyyy")), locale.toString(local.time(), LongTimeFormat(locale)),
                 offsetText(local.offsetFromUtc())),
    };
    if (notice.kind == TAlarmNoticeKind::Acknowledge)
        lines << QStringLiteral("Подтвердил: ") + account;
    lines << QString() << QStringLiteral("Письмо отправлено программой korvi-monitor.");
    return lines.join(QLatin1Char('\n'));
}

QString AlarmNoticeTitle(const TAlarmNotice& notice, const QString& loggerLabel)
{
    const QString logger = QStringLiteral("прибор № ") + loggerLabel;
    switch (notice.kind) {
    case TAlarmNoticeKind::Acknowledge:
        return QStringLiteral("ТРЕВОГА подтверждена: ") + logger;
    case TAlarmNoticeKind::End:
        return QStringLiteral("Норма восстановлена: ") + logger;
    case TAlarmNoticeKind::Start:
    case TAlarmNoticeKind::Repeat:
        break;
    }
    return QStringLiteral("ТРЕВОГА: ") + logger;
}
