#include "shell/TAlarmGuard.h"

#include "alerts/TAlarmSound.h"
#include "alerts/TDesktopNotifier.h"
#include "archive/TArchive.h"
#include "data/UserLimitsHolder.h"
#include "mail/TAlarmMailer.h"
#include "monitor/AlarmTexts.h"
#include "text/FormatLocale.h"
#include "text/MessageText.h"

#include <utility>

TAlarmGuard::TAlarmGuard(const TAlarmSettings& settings, const TMailSettings& mail, const TUserLimitsHolder& limits,
                         std::function<QString()> loggerLabel, QObject* parent)
    : QObject(parent)
    , watch_(settings)
    , sound_(new TAlarmSound(TAlarmSound::DefaultPeriod, this))
    , notifier_(new TDesktopNotifier(this))
    , mailer_(new TAlarmMailer(mail, this))
    , limits_(limits)
    , loggerLabel_(std::move(loggerLabel))
{
    sound_->setObjectName(QStringLiteral("AlarmSound"));
    connect(mailer_, &TAlarmMailer::sent, this, [this] {
        if (!std::exchange(noticeFailure_, QString()).isEmpty())
            emit changed();
    });
    connect(mailer_, &TAlarmMailer::failed, this, [this](const QString& reason) {
        noticeFailure_ = MessageLine(reason);
        emit noticeFailed(loggerLabel_(), reason);
        emit changed();
    });
}

void TAlarmGuard::setMailSettings(const TMailSettings& mail)
{
    mailer_->setSettings(mail);
}

void TAlarmGuard::setSettings(const TAlarmSettings& settings)
{
    handle(watch_.setSettings(settings, clock_()), false);
}

void TAlarmGuard::take(const TLiveMeasurement& measurement)
{
    const bool wasStanding = !watch_.standing().empty();
    const std::vector<TAlarmNotice> notices = watch_.take(measurement, limits_.limits());
    if (!notices.empty())
        handle(notices, true);
    else if (wasStanding)
        emit changed(); // the value shown moves with every reading while an alarm stands
}

void TAlarmGuard::acknowledge(const QString& comment)
{
    handle(watch_.acknowledge(clock_(), comment), false);
}

void TAlarmGuard::stop(const QString& reason)
{
    handle(watch_.stop(clock_(), reason), false);
}

QString TAlarmGuard::statusText() const
{
    const std::vector<TAlarm> standing = watch_.standing();
    const QDate today = clock_().toLocalTime().date();
    const QString state = !standing.empty() ? AlarmStatusText(standing, today, FormatLocale())
                          : restoredAt_.isValid() ? AlarmRestoredText(restoredAt_, today, FormatLocale())
                                                  : QString();
    return noticeFailure_.isEmpty() || state.isEmpty() ? state : state + QStringLiteral("; ") + noticeFailure_;
}

void TAlarmGuard::handle(const std::vector<TAlarmNotice>& notices, bool byReadings)
{
    if (notices.empty())
        return;
    bool started = false;
    const QString label = loggerLabel_();
    for (const TAlarmNotice& notice : notices) {
        started = started || notice.kind == TAlarmNoticeKind::Start;
        const QString detail = AlarmNoticeDetail(notice, watch_.settings().delaySeconds, FormatLocale());
        if (notice.kind != TAlarmNoticeKind::Acknowledge)
            notifier_->notify(AlarmNoticeTitle(notice, label), detail);
        if (notice.kind != TAlarmNoticeKind::Repeat)
            mailer_->send({AlarmNoticeTitle(notice, label),
                           AlarmMailBody(notice, label, detail, TArchiveStamp::now().user, FormatLocale())});
        emit noted(label, notice.kind, detail);
    }
    if (watch_.unacknowledged())
        sound_->start();
    else
        sound_->stop();
    // Readings back within the limits restore the norm; a stop or alarms turned off only end the alarms.
    restoredAt_ = byReadings && watch_.standing().empty() ? notices.back().at : QDateTime();
    emit changed();
    if (started)
        emit raised();
}
