#pragma once

#include "archive/TArchive.h"

#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;
class TArchiveListModel;
class TUserDialogs;

// "Архив...": the archived logs, newest first, filtered by device and by a
// period they overlap; opens one in the data viewer, saves a copy of its
// records or deletes it after the user confirms. The window reads the
// archive through a connection of its own on the window's thread.
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
    // found: while it cannot, the window shows why rather than trying again
    // on the window's thread, where a server that does not answer would hold it.
    void archiveUnavailable(const QString& reason);
    void archiveOpened();

signals:
    // "Открыть": the entry's records, checked against their SHA-256, for the data viewer.
    void openRequested(const QString& label, const QByteArray& raw);

private:
    struct ChosenLog {
        TArchiveEntry entry;
        QByteArray raw;
    };

    bool openArchive();
    void listDevices();
    void applyFilter();
    void updateButtons();
    const TArchiveEntry* selectedEntry() const;
    int selectedRow() const; // -1 when none is chosen
    // The chosen entry with its records, checked against their SHA-256;
    // nullopt, the reason shown, when none is chosen or they cannot be read.
    std::optional<ChosenLog> chosenLog();
    void ButtonOpenClick();
    void ButtonSaveCopyClick();
    void ButtonDeleteClick();

    TArchiveLocation location_;
    TUserDialogs& dialogs_;
    QWidget* mainWindow_;
    std::unique_ptr<TArchive> archive_;
    QString unavailableReason_;
    TArchiveListModel* entries_ = nullptr;
    bool placed_ = false;

    QComboBox* DeviceFilter;
    QCheckBox* PeriodFilter;
    QDateEdit* PeriodFrom;
    QDateEdit* PeriodTo;
    QTableView* EntryList;
    QPushButton* ButtonOpen;
    QPushButton* ButtonSaveCopy;
    QPushButton* ButtonDelete;
    QLabel* ArchiveStatus;
};
