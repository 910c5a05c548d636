#pragma once

#include "monitor/TAlarmWatch.h"

#include <QLocale>
#include <QString>

#include <vector>

// The words of the alarms, the same on the monitor, in the notices, the
// e-mail and the trail. Times are the local wall clock; a moment of another
// day than `today` carries its date.

// "t = 9,4 °C", "RH = 45,5 %", "p = 101,3 кПа".
QString AlarmReadingText(int slot, int tenths, const QLocale& locale);
// "t = 9,4 °C выше 8,0 °C с 14:05:12", "нет данных от прибора с 14:05:12".
QString AlarmDescription(const TAlarm& alarm, const QDate& today, const QLocale& locale);
// The status line while alarms stand: "ТРЕВОГА: " and each one, acknowledged ones so marked.
QString AlarmStatusText(const std::vector<TAlarm>& standing, const QDate& today, const QLocale& locale);
// "Норма восстановлена в 14:31:40".
QString AlarmRestoredText(const QDateTime& at, const QDate& today, const QLocale& locale);
// What the trail keeps of a notice: the start's value, limit and delay; the
// acknowledgement's comment; the end's value, duration and extreme.
QString AlarmNoticeDetail(const TAlarmNotice& notice, int delaySeconds, const QLocale& locale);
// An e-mail's text of a notice: what happened (its trail detail), when, and
// for an acknowledgement the account that gave it.
QString AlarmMailBody(const TAlarmNotice& notice, const QString& loggerLabel, const QString& detail,
                      const QString& account, const QLocale& locale);
// A notice's title for a desktop notification or an e-mail's subject,
// "ТРЕВОГА: прибор № 2400123" or "Норма восстановлена: прибор № 2400123".
QString AlarmNoticeTitle(const TAlarmNotice& notice, const QString& loggerLabel);
