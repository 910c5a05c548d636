#pragma once

#include <QDate>
#include <QTime>
#include <QtGlobal>

// Timestamps are whole seconds counted from 1899-12-30 00:00, the origin of
// TDateTime, in the logger's own wall-clock time (no time zone).
constexpr qint64 SecondsPerDay = 86400;

qint64 DaysFromCivil(int year, int month, int day);
qint64 TimestampSeconds(int year, int month, int day, int hour, int minute, int second);
int DaysInMonth(int year, int month);

QDate DateOf(qint64 seconds);
QTime TimeOf(qint64 seconds);

// TDateTime views of a timestamp: days with the time of day as fraction.
double ToDateTime(qint64 seconds);
double DatePartOf(qint64 seconds);
double TimePartOf(qint64 seconds);
