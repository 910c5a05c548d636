#pragma once

#include "settings/TDevicePage.h"

#include <QSignalSpy>

#include <functional>

// Runs one action of a settings page (a handler called, a button clicked) and
// lets its request end; whether it went through to its success line. Ends
// the test run if the action never ends.
inline bool ActionWentThrough(TDevicePage& page, const std::function<void()>& action)
{
    QSignalSpy finished(&page, &TDevicePage::requestFinished);
    action();
    if (finished.isEmpty() && !finished.wait(60000))
        qFatal("a settings page's action did not end");
    return finished.first().first().toBool();
}
