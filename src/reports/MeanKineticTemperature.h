#pragma once

#include <optional>

class TMeasurementStore;

// Activation energy and gas constant of the mean kinetic temperature.
constexpr double KineticActivationEnergy = 83144.0; // J/mol
constexpr double GasConstant = 8.314462618;         // J/(mol·K)

// The mean kinetic temperature of the shown rows' temperatures, in °C; empty
// when no row carries a temperature. Every row weighs its own recording
// interval, the last row of a record and of the log included: a row stands
// for the interval it opens, and a pause between records counts for nothing.
// One pass over the records, each weighing repeat count × interval.
std::optional<double> MeanKineticTemperature(const TMeasurementStore& store);
