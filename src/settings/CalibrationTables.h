#pragma once

#include <QList>
#include <QtGlobal>

// The key press filter a settings field applies to what is typed into it.
enum class FieldKeyFilter { None, Digits, Decimal, SignedDecimal };

// One field of a calibration page: its register, how it is shown and typed, its
// default, and the range the page write accepts (in register units).
struct CalibrationField {
    const char* edit; // object name of the edit
    const char* label;
    int reg;
    int scale; // 1 for an integer register
    FieldKeyFilter filter;
    qint32 defaultValue; // register value the page defaults show
    qint32 pageMin;
    qint32 pageMax;
    const char* pageError; // status line when the page write refuses the value
};

// The read and write buttons of one field, with their own range and messages.
struct SingleValueAction {
    int field; // index into the page's fields
    const char* readButton;
    const char* writeButton;
    qint32 min;
    qint32 max;
    const char* readMessage;
    const char* writeMessage;
    const char* errorMessage;
};

// A whole calibration page: the fields in the order the page reads and writes
// them, the single actions, and the page-wide buttons (null where the page has none).
struct CalibrationPageTable {
    QList<CalibrationField> fields;
    QList<SingleValueAction> singles;
    const char* defaultButton;
    const char* readAllButton;
    const char* writeAllButton;
    const char* readAllMessage;
    const char* writeAllMessage;
    int coefficientRows; // rows per column of the coefficient block
};

// Fields 0 and 1 of every page are the offset and the gain; the rest are coefficients.
inline constexpr int CalibrationHeadFields = 2;

const CalibrationPageTable& TempPageTable();
const CalibrationPageTable& HumiPageTable();
const CalibrationPageTable& PressPageTable();
