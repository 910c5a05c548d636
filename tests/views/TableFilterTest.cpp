#include "data/RowTexts.h"
#include "views/BoundEditRules.h"
#include "views/TableFilter.h"

#include "data/DataTestSupport.h"
#include "data/LogGenerator.h"
#include "data/RowTableColumns.h"
#include "data/Timestamp.h"
#include "text/FormatLocale.h"

#include <cmath>
#include <span>
#include <vector>

namespace {

const QLocale Russian(QLocale::Russian, QLocale::Russia);

struct BoundTexts {
    QString tMax, tMin, rhMax, rhMin;
};

TTableFilter filterOf(qint64 from, qint64 to, const BoundTexts& bounds)
{
    TTableFilter filter(from, to);
    filter.setBoundTexts(bounds.tMax, bounds.tMin, bounds.rhMax, bounds.rhMin, Russian);
    return filter;
}

TEST(TableFilterTest, boundsConvertOnlyWholeNumbersAndRoundToEvenTenths)
{
    struct Case {
        QString text;
        std::optional<double> tenths;
    };
    const Case cases[] = {
        {QStringLiteral("21,3"), 213},  // 21.3f is 21.2999..., back to 213
        {QStringLiteral("21,25"), 212}, // a tie goes to the even tenth
        {QStringLiteral("21,75"), 218},
        {QStringLiteral("20"), 200},
        {QStringLiteral(""), std::nullopt},
        {QStringLiteral(","), std::nullopt},
        {QStringLiteral("21.3"), std::nullopt}, // not the Russian separator
        {QStringLiteral("2x"), std::nullopt},
        {QStringLiteral("1e40"), std::nullopt}, // beyond single precision
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<float> value = ConvertBoundText(c.text, Russian);
        ASSERT_EQ(value.has_value(), c.tenths.has_value());
        if (value) {
            EXPECT_EQ(RoundToTenths(*value), *c.tenths);
        }
    }
}

// A row's values against bounds typed into the filter row.
struct ValuesCase {
    const char* name;
    BoundTexts bounds;
    std::optional<int> temperature, humidity;
    bool passes;
};

void ExpectValuesPass(std::span<const ValuesCase> cases)
{
    for (const ValuesCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(filterOf(0, 0, c.bounds).valuesPass(c.temperature, c.humidity), c.passes);
    }
}

TEST(TableFilterTest, valuesPassEveryBoundIncludingEquality)
{
    const ValuesCase cases[] = {
        {"no bounds", {}, 999, std::nullopt, true},
        {"tmin = tmax = 20 keeps 20", {"20", "20", "", ""}, 200, 500, true},
        {"tmin = tmax = 20 drops 20.1", {"20", "20", "", ""}, 201, 500, false},
        {"tmin = tmax = 20 drops 19.9", {"20", "20", "", ""}, 199, 500, false},
        {"21.3 under tmax 21.3", {"21,3", "", "", ""}, 213, 500, true},
        {"21.3 over tmax 21.25 (21.2)", {"21,25", "", "", ""}, 213, 500, false},
        {"21.8 under tmax 21.75 (21.8)", {"21,75", "", "", ""}, 218, 500, true},
        {"negative temperature below tmin 0", {"", "0", "", ""}, -1, 500, false},
        {"bounds that exclude each other", {"10", "20", "", ""}, 150, 500, false},
        {"unconvertible bound sets none", {"abc", "", "", ""}, 999, 500, true},
    };
    ExpectValuesPass(cases);
}

// A missing value is no value: a bound on its channel drops the row, a bound
// on the other channel alone does not.
TEST(TableFilterTest, aBoundKeepsOnlyRowsThatHaveItsChannel)
{
    const ValuesCase cases[] = {
        {"no bounds, both missing", {}, std::nullopt, std::nullopt, true},
        {"tmax 8, temperature missing", {"8", "", "", ""}, std::nullopt, 500, false},
        {"tmin 0, temperature missing", {"", "0", "", ""}, std::nullopt, 500, false},
        {"tmax 8, temperature 8", {"8", "", "", ""}, 80, 500, true},
        {"tmax 8, humidity missing", {"8", "", "", ""}, 50, std::nullopt, true},
        {"RHmax 50, humidity missing", {"", "", "50", ""}, 200, std::nullopt, false},
        {"RHmin 10, humidity missing", {"", "", "", "10"}, 200, std::nullopt, false},
        {"RHmin 10, humidity 10", {"", "", "", "10"}, 200, 100, true},
        {"RHmax 50, temperature missing", {"", "", "50", ""}, std::nullopt, 400, true},
        {"bounds on both, humidity missing", {"30", "", "50", ""}, 200, std::nullopt, false},
    };
    ExpectValuesPass(cases);
}

class TableFilterStoreTest : public RussianLocaleTest
{
protected:
    void SetUp() override
    {
        RussianLocaleTest::SetUp();
        const QByteArray bytes =
            LogGenerator(33).generate(500, TLogShape::Typical, QDateTime(QDate(2025, 3, 1), QTime(6, 0)));
        const auto* raw = reinterpret_cast<const TLogRecord*>(bytes.constData());
        store_.showRecords(ListOf(std::vector<TLogRecord>(raw, raw + 500)));
    }

    qint64 rowTime(qint64 row) const { return store_.rowValues(row).time; }

    // The rows that pass, read the long way: every cell's text parsed back
    // as the user's table shows it.
    std::vector<qint64> rowsPassingByText(qint64 from, qint64 to, const BoundTexts& bounds) const
    {
        const QLocale& locale = texts_.formatter().locale();
        const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
        const QString timeFormat = LongTimeFormat(locale);
        const auto toDateTime = [](qint64 seconds) {
            return QDateTime(DateOf(seconds), TimeOf(seconds));
        };
        // An empty cell has no value; a bound on its channel drops the row.
        const auto tenths = [&locale](const QString& text) -> std::optional<double> {
            bool ok = false;
            const float value = locale.toFloat(text, &ok);
            return ok ? std::optional<double>(std::nearbyint(double(value) * 10)) : std::nullopt;
        };
        const auto within = [](std::optional<double> value, std::optional<double> max, std::optional<double> min) {
            return (!max && !min) || (value && (!max || *value <= *max) && (!min || *value >= *min));
        };
        const std::optional<double> tMax = tenths(bounds.tMax), tMin = tenths(bounds.tMin),
                                    rhMax = tenths(bounds.rhMax), rhMin = tenths(bounds.rhMin);
        std::vector<qint64> rows;
        for (qint64 row = 0; row < store_.DataRowCount(); ++row) {
            const QDateTime moment(locale.toDate(texts_.cellText(row, ColumnDate), dateFormat),
                                   locale.toTime(texts_.cellText(row, ColumnTime), timeFormat));
            if (moment < toDateTime(from) || moment > toDateTime(to))
                continue;
            if (!within(tenths(texts_.cellText(row, ColumnTemperature)), tMax, tMin)
                || !within(tenths(texts_.cellText(row, ColumnHumidity)), rhMax, rhMin))
                continue;
            rows.push_back(row);
        }
        return rows;
    }

    TMeasurementStore store_;
    const TRowTexts texts_{store_};
};

TEST_F(TableFilterStoreTest, typedValuesAgreeWithTheCellTexts)
{
    const qint64 last = store_.DataRowCount() - 1;
    const qint64 quarter = last / 4;
    struct Case {
        const char* name;
        qint64 from, to;
        BoundTexts bounds;
        bool keepsSomeRows;
    };
    const Case cases[] = {
        {"whole log, no bounds", rowTime(0), rowTime(last), {}, true},
        {"inner period, ends on rows", rowTime(quarter), rowTime(3 * quarter), {}, true},
        {"period cutting records between rows", rowTime(quarter) + 1, rowTime(3 * quarter) - 1, {}, true},
        {"temperature band", rowTime(0), rowTime(last), {"25", "5", "", ""}, true},
        {"tie bounds", rowTime(0), rowTime(last), {"21,25", "-", "", "10,05"}, true},
        {"humidity band with missing cells", rowTime(0), rowTime(last), {"", "", "60,5", "20"}, true},
        {"all four bounds and a period", rowTime(quarter), rowTime(last), {"40", "0,1", "95", "10"}, true},
        {"narrow equal bounds", rowTime(0), rowTime(last), {"20", "20", "", ""}, false},
        {"inverted period", rowTime(last), rowTime(0), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRowSpanView view = filterOf(c.from, c.to, c.bounds).apply(store_);
        std::vector<qint64> typedRows;
        for (qint64 row = 0; row < view.rowCount(); ++row)
            typedRows.push_back(view.storeRow(row));
        EXPECT_EQ(typedRows, rowsPassingByText(c.from, c.to, c.bounds));
        EXPECT_TRUE(!c.keepsSomeRows || !typedRows.empty());
    }
}

TEST_F(TableFilterStoreTest, periodEndsOnRowsAreBothIncluded)
{
    const qint64 from = rowTime(10);
    const qint64 to = rowTime(40);
    const TRowSpanView view = filterOf(from, to, {}).apply(store_);
    ASSERT_GT(view.rowCount(), 0);
    EXPECT_EQ(view.rowValues(0).time, from);
    EXPECT_EQ(view.rowValues(view.rowCount() - 1).time, to);
}

TEST(BoundEditRulesTest, keyRuleLetsDigitsOneSeparatorAndEditingKeysThrough)
{
    struct Case {
        const char* name;
        QChar typed;
        QString text;
        QString separator;
        std::optional<QChar> result;
    };
    const Case cases[] = {
        {"digit", u'7', "", ",", u'7'},
        {"backspace", QChar(8), "12", ",", QChar(8)},
        {"full stop becomes comma", u'.', "21", ",", u','},
        {"comma becomes full stop", u',', "21", ".", u'.'},
        {"second separator", u',', "21,3", ",", std::nullopt},
        {"minus", u'-', "", ",", std::nullopt},
        {"delete, as X11 sends it", QChar(127), "12", ",", QChar(127)},
        {"enter", QChar(13), "5", ",", QChar(13)},
        {"paste control character", QChar(22), "5", ",", QChar(22)},
        {"letter", u'e', "5", ",", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BoundEditKey(c.typed, c.text, c.separator), c.result);
    }
}

TEST(BoundEditRulesTest, rangeRuleReplacesNumbersOutsideTheLimits)
{
    const TBoundRange tMax{55, "55"}, tMin{55, "0"}, rhMax{99, "99"};
    struct Case {
        const char* name;
        QString text;
        TBoundRange range;
        std::optional<QString> result;
    };
    const Case cases[] = {
        {"70 into tmax", "70", tMax, QStringLiteral("55")},
        {"70 into tmin", "70", tMin, QStringLiteral("0")},
        {"-5 into RHmax", "-5", rhMax, QStringLiteral("99")},
        {"the limit itself", "55", tMax, std::nullopt},
        {"just above the limit", "55,1", tMax, QStringLiteral("55")},
        {"zero", "0", tMin, std::nullopt},
        {"not a number", "5a", tMax, std::nullopt},
        {"empty", "", tMax, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BoundEditRangeFix(c.text, c.range, Russian), c.result);
    }
}

} // namespace
