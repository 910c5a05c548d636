#include "shell/TJobControls.h"

#include "shell/TBackgroundJob.h"

#include <QBoxLayout>
#include <QProgressBar>
#include <QPushButton>

namespace {

constexpr int ProgressSteps = 1000;

} // namespace

TJobControls::TJobControls(TBackgroundJob& job, const char* barName, const char* cancelName, QWidget* window)
    : QObject(window)
    , bar_(new QProgressBar(window))
    , cancel_(new QPushButton(QStringLiteral("Отмена"), window))
{
    bar_->setObjectName(QString::fromLatin1(barName));
    bar_->setRange(0, ProgressSteps);
    bar_->setMaximumWidth(200);
    cancel_->setObjectName(QString::fromLatin1(cancelName));
    connect(cancel_, &QPushButton::clicked, &job, &TBackgroundJob::cancel);
    connect(&job, &TBackgroundJob::started, this, [this] { showRunning(true); });
    connect(&job, &TBackgroundJob::progressed, this, [this](qint64 done, qint64 total) {
        bar_->setValue(total > 0 ? int(done * ProgressSteps / total) : 0);
    });
    connect(&job, &TBackgroundJob::finished, this, [this] { showRunning(false); });
    showRunning(false);
}

void TJobControls::addTo(QBoxLayout& row) const
{
    row.addWidget(bar_);
    row.addWidget(cancel_);
}

void TJobControls::showRunning(bool running)
{
    bar_->setValue(0);
    bar_->setVisible(running);
    cancel_->setVisible(running);
}
