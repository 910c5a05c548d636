#include "device/ReadingScript.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

std::optional<qint32> tenthsOf(QString text)
{
    bool ok = false;
    const double value = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e6)
        return std::nullopt;
    return qint32(std::lround(value * 10));
}

} // namespace

std::optional<TReadingScript> ParseReadingScript(const QString& text, QString* error)
{
    TReadingScript script;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool secondsRead = false;
        const double seconds = fields[0].toDouble(&secondsRead);
        TScriptedReading step{qint64(std::llround(seconds * 1000)), std::nullopt};
        bool fine = secondsRead && seconds >= 0 && (script.empty() || step.fromMs > script.back().fromMs);
        if (fine && !(fields.size() == 2 && fields[1] == QLatin1String("silent"))) {
            std::array<qint32, 3> tenths{};
            fine = fields.size() == 4;
            for (size_t channel = 0; fine && channel < tenths.size(); ++channel) {
                const std::optional<qint32> value = tenthsOf(fields[qsizetype(channel) + 1]);
                fine = value.has_value();
                tenths[channel] = value.value_or(0);
            }
            step.tenths = tenths;
        }
        if (!fine) {
            *error = QStringLiteral("строка %1: нужны секунды от начала (больше, чем в строке выше), затем "
                                    "температура, влажность и давление или silent: %2")
                         .arg(index + 1)
                         .arg(lines[index].trimmed());
            return std::nullopt;
        }
        script.push_back(step);
    }
    if (script.empty()) {
        *error = QStringLiteral("в сценарии нет ни одной строки показаний");
        return std::nullopt;
    }
    return script;
}

const TScriptedReading* ScriptedReadingAt(const TReadingScript& script, qint64 elapsedMs)
{
    const auto after = std::upper_bound(script.begin(), script.end(), elapsedMs,
                                        [](qint64 at, const TScriptedReading& step) { return at < step.fromMs; });
    return after == script.begin() ? nullptr : &*std::prev(after);
}
