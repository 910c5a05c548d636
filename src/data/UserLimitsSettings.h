#pragma once

#include "data/MeasurementLimits.h"

#include <QSettings>

#include <memory>
#include <optional>

// The program's own settings file, in the user's configuration folder.
std::unique_ptr<QSettings> ProgramSettings();

// The limits the user chose last, kept between runs; none when none were
// chosen or what is kept is no usable set (a missing level, a lower level
// not below its upper one). Pressure levels missing, as in a file written
// before pressure had limits, or out of order are those of the constants.
std::optional<TUserLimits> StoredUserLimits(const QSettings& settings);
void StoreUserLimits(QSettings& settings, const TUserLimits& limits);

// Each lower level lies below its upper one.
bool LimitsAreOrdered(const TUserLimits& limits);
