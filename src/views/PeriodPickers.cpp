#include "views/PeriodPickers.h"

#include <QDateEdit>
#include <QTimeEdit>

void NamePeriodPickers(QDateEdit& startDate, QTimeEdit& startTime, QDateEdit& stopDate, QTimeEdit& stopTime)
{
    startDate.setAccessibleName(QStringLiteral("Начало периода, дата"));
    startTime.setAccessibleName(QStringLiteral("Начало периода, время"));
    stopDate.setAccessibleName(QStringLiteral("Конец периода, дата"));
    stopTime.setAccessibleName(QStringLiteral("Конец периода, время"));
}
