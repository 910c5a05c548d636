#pragma once

#include "archive/TArchive.h"

#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class TArchiveSession;
class TBackgroundJob;
class TJobControls;
class TTrailModel;
class TUserDialogs;

// "Журнал событий": the archive's trail, newest first, filtered by logger,
// period, user and kind of event, and saved as CSV or PDF with the same rows
// and columns. The window reads through a session of its own, on the
// session's thread, and writes the file on a job of its own: it answers,
// "…" in its status line, while a server is slow or a file waits.
class TTrailWindow : public QWidget {
    Q_OBJECT
public:
    TTrailWindow(const TArchiveLocation& location, TUserDialogs& dialogs, QWidget* parent);
    ~TTrailWindow() override;

    // Shows the window with the trail read afresh, or the reason it cannot be read.
    void showTrail();

protected:
    // Closing drops what the window still waits for and cancels a file being written.
    void closeEvent(QCloseEvent* event) override;

private:
    struct Choices;

    void listTrail();
    void listChoices(const Choices& choices);
    void applyFilter();
    TTrailQuery chosenFilter() const;
    QString chosenFilterText() const;
    void readPage(quint64 serial, const TTrailQuery& page);
    void showPage(const QString& error);
    void setSaving(bool saving);
    void writeFile(const QString& path, std::vector<TArchiveEvent> events, const QString& filterText);
    void ButtonSaveClick();

    TArchiveLocation location_;
    TUserDialogs& dialogs_;
    std::unique_ptr<TArchiveSession> session_;
    TTrailModel* events_;
    TBackgroundJob* job_;
    quint64 choicesTicket_ = 0;
    quint64 pageTicket_ = 0;
    bool columnsFitted_ = false;
    bool saving_ = false; // the trail is read for a file or written into it

    QComboBox* LoggerFilter;
    QCheckBox* PeriodFilter;
    QDateEdit* PeriodFrom;
    QDateEdit* PeriodTo;
    QComboBox* UserFilter;
    QComboBox* KindFilter;
    QTableView* EventList;
    QPushButton* ButtonSave;
    TJobControls* saveControls_;
    QLabel* TrailStatus;
};
