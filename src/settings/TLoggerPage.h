#pragma once

#include "data/MeasurementLimits.h"
#include "settings/TDevicePage.h"

#include <QDateTime>
#include <QList>

#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;

// What the erase question tells of the connected logger's log.
struct TEraseFacts {
    enum class Archive {
        None,     // no archive in use
        NotKnown, // the archive has not told (yet) whether it keeps a log of this logger
        Absent,   // it keeps none
        Kept,     // the newest log read from this logger was stored in it at keptAt
    };
    QString label; // the logger's drive label; empty while not known
    Archive archive = Archive::None;
    QDateTime keptAt = {};
};

// The settings window's page "Даталоггер": the logger's clock (the pickers follow
// the PC clock until the user touches one), its recording settings as read from
// it, and the erase of its log memory. The page writes only the clock, so the
// settings are shown read-only, empty until read.
class TLoggerPage : public TDevicePage {
    Q_OBJECT

public:
    explicit TLoggerPage(TLoggerRequests& requests, QWidget* parent = nullptr);

    QList<QWidget*> deviceControls() const;
    // Where TimerDateTimeTimer takes the current local time from.
    void setClockSource(std::function<QDateTime()> clock);
    // Where the erase question learns who the logger is and where its log is.
    void setEraseFacts(std::function<TEraseFacts()> facts);

    QLabel* LabelTime;
    QTimeEdit* DateTimePickerTime;
    QLabel* LabelDate;
    QDateEdit* DateTimePickerDate;
    QLabel* LabelInterval;
    QLineEdit* EditLogInterval;
    QLabel* LabelOptionsRec;
    QListWidget* CheckListBoxOptionsRec;
    QLabel* LabelKL;
    QLabel* LabelKLT;
    QLabel* LabelKLRH;
    QLineEdit* EditTLimitMin;
    QLineEdit* EditTLimitMax;
    QLineEdit* EditRHLimitMin;
    QLineEdit* EditRHLimitMax;
    QPushButton* ButtonLogReadAll;
    QPushButton* ButtonLogWriteAll;
    QPushButton* ButtonLogMemErase;

public slots:
    void TimerDateTimeTimer();
    // Each ends with requestFinished, telling whether the logger answered.
    void ButtonLogReadAllClick();
    void ButtonLogWriteAllClick();
    // Asks first; erases only on "Да", and a status line tells whether it did.
    void ButtonLogMemEraseClick();

signals:
    // The user changed or clicked a picker: they stop following the PC clock.
    void pickerTouched();
    // "Прочитать" got the logger's critical levels, in tenths.
    void levelsRead(const TUserLimits& levels);
    // The erase question's "Сначала прочитать": the logger's log is to be
    // loaded into the viewer, and so into the archive, before any erase.
    void logReadRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    // The interval, recording options and levels as read, in register order.
    void showSettings(const QList<qint32>& values);
    void showLevels(const QList<qint32>& levels);

    std::function<QDateTime()> clock_;
    std::function<TEraseFacts()> eraseFacts_;
};
