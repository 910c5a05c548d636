#include "data/UserLimitsHolder.h"

#include "data/UserLimitsSettings.h"

TUserLimitsHolder::TUserLimitsHolder(std::optional<TUserLimits> chosen, QObject* parent)
    : QObject(parent)
    , chosen_(std::move(chosen))
{
}

TUserLimits TUserLimitsHolder::limits() const
{
    return chosen_.value_or(loggerLevels_.value_or(TUserLimits{}));
}

void TUserLimitsHolder::setLimits(const TUserLimits& limits)
{
    StoreUserLimits(*ProgramSettings(), limits);
    change([&] { chosen_ = limits; });
}

void TUserLimitsHolder::offerLoggerLevels(const TUserLimits& levels)
{
    change([&] { loggerLevels_ = levels; });
}

template <class Change>
void TUserLimitsHolder::change(Change&& apply)
{
    const TUserLimits before = limits();
    apply();
    if (limits() != before)
        emit limitsChanged(limits());
}
