#pragma once

#include "data/MeasurementLimits.h"

#include <QObject>

#include <optional>

// The one keeper of the limits in use, which the statistics window, the
// reports, the chart and the monitor read: the user's, as last chosen and
// kept in the program's settings; until the user chose any, the logger's
// critical levels once its settings page read them; else the constants.
class TUserLimitsHolder : public QObject {
    Q_OBJECT
public:
    // chosen: the user's limits as the settings file keeps them (StoredUserLimits).
    explicit TUserLimitsHolder(std::optional<TUserLimits> chosen, QObject* parent = nullptr);

    TUserLimits limits() const;
    // The logger's critical levels as last read; none before a read.
    const std::optional<TUserLimits>& loggerLevels() const { return loggerLevels_; }

public slots:
    // The user's choice, kept for the next run as well.
    void setLimits(const TUserLimits& limits);
    // The logger's critical levels, read on its settings page.
    void offerLoggerLevels(const TUserLimits& levels);

signals:
    // The limits in use are others now.
    void limitsChanged(const TUserLimits& limits);

private:
    // Applies a change of either source, telling the readers when the limits in use moved.
    template <class Change>
    void change(Change&& apply);

    std::optional<TUserLimits> chosen_;
    std::optional<TUserLimits> loggerLevels_;
};
