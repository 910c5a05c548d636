#include "settings/TDevicePage.h"

#include "device/TDeviceLink.h"

namespace {

std::optional<QList<qint32>> ReadEach(TDeviceLink& link, const QList<int>& registers)
{
    QList<qint32> values;
    for (const int reg : registers) {
        const std::optional<qint32> value = link.ReadRegister(reg);
        if (!value)
            return std::nullopt;
        values.append(*value);
    }
    return values;
}

} // namespace

QString ValueChangeText(const QString& name, const std::optional<QString>& before, const QString& after)
{
    return QStringLiteral("%1: %2 → %3").arg(name, before.value_or(QStringLiteral("было неизвестно")), after);
}

TDevicePage::TDevicePage(TLoggerRequests& requests, QWidget* parent)
    : QWidget(parent), requests_(requests)
{
}

void TDevicePage::readRegisters(const QString& doing, const QList<int>& registers, const QString& successLine,
                                std::function<void(const QList<qint32>&)> show)
{
    runRequest(
        doing,
        [registers, successLine](TDeviceLink& link) {
            std::optional<QList<qint32>> values = ReadEach(link, registers);
            if (values && !successLine.isEmpty())
                link.LogStatus(successLine);
            return values;
        },
        [show = std::move(show)](const std::optional<QList<qint32>>& values) {
            if (values)
                show(*values);
            return values.has_value();
        });
}

void TDevicePage::writeRegisters(const QString& doing, const QList<RegisterWrite>& writes, int timeoutMs,
                                 const QString& successLine, TLoggerChange change, const QString& detail,
                                 std::function<void()> written)
{
    runChange(
        doing,
        [writes, timeoutMs, successLine](TDeviceLink& link) {
            if (!link.WriteRegisters(writes, timeoutMs))
                return false;
            link.LogStatus(successLine);
            return true;
        },
        change, detail, std::move(written));
}

void TDevicePage::refuseWith(const QString& reason)
{
    runRequest(QString(), [reason](TDeviceLink& link) {
        link.LogStatus(reason);
        return false;
    });
}

void TDevicePage::beginRequest(const QString& doing)
{
    // The page's own controls keep their enabled state under the greyed page.
    if (runningRequests_++ == 0)
        setEnabled(false);
    emit doingChanged(doing);
}

void TDevicePage::endRequest(bool wentThrough)
{
    if (--runningRequests_ == 0) {
        setEnabled(true);
        emit doingChanged(QString());
    }
    emit requestFinished(wentThrough);
}
