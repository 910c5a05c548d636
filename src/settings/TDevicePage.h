#pragma once

#include "device/RegisterWrite.h"
#include "device/TLoggerRequests.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

// What a write changed in the logger, as the archive's trail tells it.
enum class TLoggerChange { Number, Calibration, Clock, WiFi, Erase };

// A value the logger holds now, as the trail tells its change: "Смещение:
// 0,1 → 0,5", "было неизвестно" standing for a value the page never learnt.
QString ValueChangeText(const QString& name, const std::optional<QString>& before, const QString& after);

// A settings page that talks to the logger. Each of its actions is a request
// on the logger's thread; the page is greyed while one runs, so that nothing
// on it changes under the request, says what the request does, and every
// action ends with requestFinished, telling whether it went through to its
// success line.
class TDevicePage : public QWidget {
    Q_OBJECT

public:
    explicit TDevicePage(TLoggerRequests& requests, QWidget* parent = nullptr);

    bool requestRunning() const { return runningRequests_ > 0; }

signals:
    // What the page's running request does, as "Чтение номера прибора…";
    // empty once none runs or for a refusal that only waits for its turn.
    void doingChanged(const QString& doing);
    // Once per action; false too for one refused before the logger was asked.
    void requestFinished(bool wentThrough);
    // A write went through, just before its requestFinished: `detail` says
    // what the logger holds now (and held before, where the page knew).
    void loggerChanged(TLoggerChange change, const QString& detail);

protected:
    // Runs work(link) as a request that does `doing`, then show(result) on
    // the page, which says whether the action went through.
    template <typename Work, typename Show>
    void runRequest(const QString& doing, Work work, Show show);
    // A request whose work itself says whether it went through.
    template <typename Work>
    void runRequest(const QString& doing, Work work)
    {
        runRequest(doing, std::move(work), [](bool wentThrough) { return wentThrough; });
    }

    // Reads the registers in order, then logs successLine (when given) and
    // shows the values; a logger that stops answering half-way leaves every
    // control alone.
    void readRegisters(const QString& doing, const QList<int>& registers, const QString& successLine,
                       std::function<void(const QList<qint32>&)> show);
    // A request that changes the logger, whose work says whether it went
    // through; only then does `written` run on the page and is the change told.
    template <typename Work>
    void runChange(const QString& doing, Work work, TLoggerChange change, const QString& detail,
                   std::function<void()> written = {});
    // One write transaction, then successLine; a change as runChange tells it.
    void writeRegisters(const QString& doing, const QList<RegisterWrite>& writes, int timeoutMs,
                        const QString& successLine, TLoggerChange change, const QString& detail,
                        std::function<void()> written = {});
    // An action that cannot go on: its reason goes to the status list after
    // the lines of the requests before it.
    void refuseWith(const QString& reason);
    // An action that ended before asking anything, having told why itself.
    void refuse() { emit requestFinished(false); }

private:
    void beginRequest(const QString& doing);
    void endRequest(bool wentThrough);

    TLoggerRequests& requests_;
    int runningRequests_ = 0;
};

template <typename Work, typename Show>
void TDevicePage::runRequest(const QString& doing, Work work, Show show)
{
    beginRequest(doing);
    requests_.run(this, std::move(work),
                  [this, show = std::move(show)](const auto& result) mutable { endRequest(show(result)); });
}

template <typename Work>
void TDevicePage::runChange(const QString& doing, Work work, TLoggerChange change, const QString& detail,
                            std::function<void()> written)
{
    runRequest(doing, std::move(work), [this, change, detail, written = std::move(written)](bool wentThrough) {
        if (wentThrough) {
            if (written)
                written();
            emit loggerChanged(change, detail);
        }
        return wentThrough;
    });
}
