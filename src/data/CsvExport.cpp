#include "data/CsvExport.h"

#include "data/JobProgress.h"
#include "data/MeasurementStore.h"
#include "data/TextTable.h"
#include "data/Timestamp.h"

#include <QIODevice>

#include <array>
#include <charconv>
#include <string>

namespace {

const QStringList Captions = {QStringLiteral("#"),
                              QStringLiteral("Дата и время"),
                              QStringLiteral("Температура, *С"),
                              QStringLiteral("Влажность, %"),
                              QStringLiteral("Давление, кПа"),
                              QStringLiteral("Дельта, с")};
constexpr size_t FlushAt = 1 << 20;

void appendNumber(std::string& out, qint64 value)
{
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    out.append(digits.data(), end);
}

void appendTwoDigits(std::string& out, int value)
{
    out.push_back(char('0' + value / 10));
    out.push_back(char('0' + value % 10));
}

void appendTenths(std::string& out, std::optional<int> tenths)
{
    out.push_back(',');
    if (!tenths)
        return;
    int value = *tenths;
    if (value < 0) {
        out.push_back('-');
        value = -value;
    }
    appendNumber(out, value / 10);
    out.push_back('.');
    out.push_back(char('0' + value % 10));
}

// What all repetitions of a record share in their rows: values and interval.
std::string recordTail(const TExpandedRecord& record)
{
    std::string tail;
    appendTenths(tail, record.temperature);
    appendTenths(tail, record.humidity);
    appendTenths(tail, record.pressure);
    tail.push_back(',');
    appendNumber(tail, IntervalSeconds(record.intervalCode));
    tail.push_back('\n');
    return tail;
}

// "YYYY-MM-DD" of a day, remembered while consecutive rows stay on it.
class DayText {
public:
    const std::string& of(qint64 day)
    {
        if (day != Day) {
            Day = day;
            const QDate date = DateOf(day * SecondsPerDay);
            Text.clear();
            appendNumber(Text, date.year());
            Text.push_back('-');
            appendTwoDigits(Text, date.month());
            Text.push_back('-');
            appendTwoDigits(Text, date.day());
        }
        return Text;
    }

private:
    qint64 Day = -1;
    std::string Text;
};

class Output {
public:
    explicit Output(QIODevice& device)
        : Device(device)
    {
        Buffer.reserve(FlushAt + 4096);
    }

    std::string& buffer() { return Buffer; }

    bool flushIfFull() { return Buffer.size() < FlushAt || flush(); }

    bool flush()
    {
        const qint64 size = qint64(Buffer.size());
        const bool written = Device.write(Buffer.data(), size) == size;
        Buffer.clear();
        return written;
    }

private:
    QIODevice& Device;
    std::string Buffer;
};

}  // namespace

QByteArray CsvLine(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        QString quoted = fields[i];
        quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += '"' + quoted.toUtf8() + '"';
    }
    return line + '\n';
}

namespace {

// Says why the writing stopped; false, for the writer to return.
bool stopped(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

bool WriteCsvTable(const TTextTable& table, QIODevice& device, QString* error, TJobProgress* progress)
{
    if (progress)
        progress->start(qint64(table.rows.size()));
    Output output(device);
    std::string& out = output.buffer();
    const auto append = [&out](const QStringList& fields) {
        const QByteArray line = CsvLine(fields);
        out.append(line.constData(), size_t(line.size()));
    };
    append(table.captions);
    qint64 written = 0;
    for (const QStringList& row : table.rows) {
        append(row);
        if (!output.flushIfFull())
            return stopped(error, device.errorString());
        if (!KeepGoing(progress, ++written))
            return stopped(error, TJobProgress::cancelledReason());
    }
    return output.flush() || stopped(error, device.errorString());
}

bool WriteCsv(const TMeasurementStore& store, QIODevice& device, QString* error, TJobProgress* progress)
{
    if (progress)
        progress->start(store.DataRowCount());
    Output output(device);
    std::string& out = output.buffer();
    const QByteArray header = CsvLine(Captions);
    out.append(header.constData(), size_t(header.size()));
    DayText dayText;
    const TRecordList& records = store.records();
    qint64 number = 0;
    for (qsizetype index = 0; index < records.size(); ++index) {
        const TExpandedRecord record = records.expanded(index);
        const std::string tail = recordTail(record);
        for (int repetition = 0; repetition < record.repeatCount; ++repetition) {
            const qint64 time = record.rowTime(repetition);
            const qint64 day = time >= 0 ? time / SecondsPerDay : (time - SecondsPerDay + 1) / SecondsPerDay;
            const int secondOfDay = int(time - day * SecondsPerDay);
            appendNumber(out, ++number);
            out.push_back(',');
            out.append(dayText.of(day));
            out.push_back('T');
            appendTwoDigits(out, secondOfDay / 3600);
            out.push_back(':');
            appendTwoDigits(out, secondOfDay / 60 % 60);
            out.push_back(':');
            appendTwoDigits(out, secondOfDay % 60);
            out.append(tail);
            if (!output.flushIfFull())
                return stopped(error, device.errorString());
            if (!KeepGoing(progress, number))
                return stopped(error, TJobProgress::cancelledReason());
        }
    }
    return output.flush() || stopped(error, device.errorString());
}
