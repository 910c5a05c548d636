#include "views/TSysPage.h"

#include "data/Loader.h"
#include "views/TDumpLogModel.h"
#include "views/TVirtualGrid.h"

#include <QGridLayout>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QPlainTextEdit* newMemo(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setAccessibleName(accessibleName);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

}  // namespace

TSysPage::TSysPage(QAbstractItemModel& rowTable, QWidget* parent)
    : QWidget(parent)
    , MemoDisc(newMemo(QStringLiteral("MemoDisc"), QStringLiteral("Диски"), this))
    , MemoFile(newMemo(QStringLiteral("MemoFile"), QStringLiteral("Найденные файлы"), this))
    , MemoFileRes(newMemo(QStringLiteral("MemoFileRes"), QStringLiteral("Принятые файлы"), this))
    , Memo4(new TVirtualGrid(this))
    , Go(new QPushButton(QStringLiteral("Go"), this))
    , StringGrid(new TVirtualGrid(this))
    , dumpModel_(new TDumpLogModel(this))
{
    setObjectName(QStringLiteral("SysPage"));
    Memo4->setObjectName(QStringLiteral("Memo4"));
    Memo4->setAccessibleName(QStringLiteral("Записи журнала"));
    Memo4->setHeaderVisible(false);
    Memo4->setGridVisible(false);
    Memo4->setRowHeight(16);
    Memo4->setColumnWidth(0, 2000);
    Memo4->setModel(dumpModel_);
    Go->setObjectName(QStringLiteral("Go"));
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    StringGrid->setAccessibleName(QStringLiteral("Таблица строк"));
    StringGrid->setModel(&rowTable);
    for (int column = 0; column < rowTable.columnCount(); ++column)
        StringGrid->setColumnWidth(column, 104);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(MemoDisc, 0, 0);
    layout->addWidget(MemoFile, 0, 1);
    layout->addWidget(MemoFileRes, 0, 2);
    layout->addWidget(Go, 0, 3, Qt::AlignTop);
    layout->addWidget(Memo4, 1, 0, 1, 4);
    layout->addWidget(StringGrid, 2, 0, 1, 4);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(1, 2);
    layout->setRowStretch(2, 3);
}

void TSysPage::showLoad(const TLoadResult& result)
{
    MemoDisc->setPlainText(result.driveRoots.join(QLatin1Char('\n')));
    MemoFile->setPlainText(result.candidateNames.join(QLatin1Char('\n')));
    MemoFileRes->setPlainText(result.acceptedNames.join(QLatin1Char('\n')));
    dumpModel_->setDump(result.dump);
}
