#pragma once

class QDateEdit;
class QTimeEdit;

// Names the four pickers of a period for screen readers: the labels "с" and
// "по" beside them say too little, and the time pickers have none.
void NamePeriodPickers(QDateEdit& startDate, QTimeEdit& startTime, QDateEdit& stopDate, QTimeEdit& stopTime);
