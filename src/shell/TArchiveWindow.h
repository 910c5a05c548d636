#pragma once

#include "archive/TArchive.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class TArchiveListModel;
class TArchiveSession;
class TBackgroundJob;
class TJobControls;
class TTrailWindow;
class TUserDialogs;

// "Архив...": the archived logs, newest first, filtered by device and by a
// period they overlap; opens one in the data viewer, saves a copy of its
// records or deletes it after the user confirms, and writes a backup of the
// whole archive; checks the archive each time it opens, and shows its
// trail in "Журнал событий". The window reads the
// archive through a session of its own, on the session's thread, and writes
// a copy on a job of its own: it answers, "…" in its status line, while a
// server is slow or a copy waits for the reader of a pipe.
class TArchiveWindow : public QWidget {
    Q_OBJECT
public:
    TArchiveWindow(const TArchiveLocation& location, TUserDialogs& dialogs, QWidget* mainWindow);
    ~TArchiveWindow() override;

    // Shows the window with the archive listed afresh, or the reason it cannot be read.
    void showArchive();
    // Another log was archived: an open window lists it.
    void archiveChanged();
    // Whether the program's archive could be opened, as the keeper of loads
    // found: while it cannot, the window shows why rather than trying again.
    void archiveUnavailable(const QString& reason);
    void archiveOpened();

signals:
    // "Открыть": the entry's records, checked against their SHA-256, for the data viewer.
    void openRequested(const QString& label, const QByteArray& raw);

protected:
    // Closing drops what the window still waits for and cancels a copy being written.
    void closeEvent(QCloseEvent* event) override;

private:
    using LogUse = std::function<void(const TArchiveEntry& entry, const QByteArray& raw)>;

    void listArchive();
    void listDevices(const QStringList& labels);
    void applyFilter();
    void readPage(quint64 serial, const TArchiveQuery& page);
    void showPage(const QString& error);
    void updateButtons();
    const TArchiveEntry* selectedEntry() const;
    int selectedRow() const; // -1 when none is chosen
    // Reads the chosen entry's records, checked against their SHA-256, and
    // notes `noted` in its trail; `use` gets them, or the reason is shown.
    void readChosenLog(std::optional<TArchiveEventKind> noted, LogUse use);
    void setActionRunning(bool running);
    void saveCopy(const TArchiveEntry& entry, const QByteArray& raw);
    void noteExport(qint64 entryId, const QString& path);
    void ButtonOpenClick();
    void ButtonSaveCopyClick();
    void ButtonDeleteClick();
    void ButtonBackupClick();
    void ButtonTrailClick();
    // Checks the whole archive on the session, after the pages asked before.
    void checkArchive();

    TArchiveLocation location_;
    TUserDialogs& dialogs_;
    QWidget* mainWindow_;
    QString unavailableReason_;
    std::unique_ptr<TArchiveSession> session_;
    TArchiveListModel* entries_;
    TBackgroundJob* job_;
    quint64 labelsTicket_ = 0;
    quint64 pageTicket_ = 0;
    // Said when the list is next read, after a deletion, instead of the archive's name.
    QString notice_;
    bool columnsFitted_ = false;
    bool actionRunning_ = false; // a log's records are read or it is deleted
    bool backupRunning_ = false;
    bool placed_ = false;
    bool checkDue_ = false; // the window opened: the archive is checked once its first page is shown
    TTrailWindow* trail_ = nullptr;

    QComboBox* DeviceFilter;
    QCheckBox* PeriodFilter;
    QDateEdit* PeriodFrom;
    QDateEdit* PeriodTo;
    QTableView* EntryList;
    QPushButton* ButtonOpen;
    QPushButton* ButtonSaveCopy;
    QPushButton* ButtonDelete;
    QPushButton* ButtonBackup;
    QPushButton* ButtonTrail;
    TJobControls* copyControls_;
    QLabel* ArchiveStatus;
    QLabel* ArchiveCheck;
};
