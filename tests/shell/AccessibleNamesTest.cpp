#include "KorviTestMain.h"

#include "SimulatedWindows.h"
#include "ViewerControls.h"

#include "settings/TWiFiPage.h"
#include "views/TChartPage.h"
#include "views/TTablePage.h"

#include <QAccessible>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

// What a screen reader announces for the fields a user fills in: every picker
// and every Wi-Fi field of the real windows, read through QAccessible.
class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void pickersAndWiFiFieldsHaveDistinctNames();
};

namespace {

// The accessible names of `fields`, failing on one that is empty.
QStringList accessibleNames(const QList<QWidget*>& fields)
{
    QStringList names;
    for (QWidget* field : fields) {
        const QString name = QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            qWarning("%s has no accessible name", qPrintable(field->objectName()));
        names << name;
    }
    return names;
}

template <class Field>
QList<QWidget*> fieldsOf(const QWidget& window)
{
    QList<QWidget*> fields;
    for (Field* field : window.findChildren<Field*>())
        fields << field;
    return fields;
}

}  // namespace

void AccessibleNamesTest::pickersAndWiFiFieldsHaveDistinctNames()
{
    SimulatedWindows simulation;
    const TWiFiPage* wifi = simulation.windows->formSetting_->findChild<TWiFiPage*>();
    QVERIFY(wifi);
    const struct {
        const char* group;
        QList<QWidget*> fields;
        int expected;
    } cases[] = {
        {"Wi-Fi", fieldsOf<QLineEdit>(*wifi) + fieldsOf<QComboBox>(*wifi), 8},
        {"chart page pickers", fieldsOf<QDateTimeEdit>(*ViewerControls(*simulation.windows->formMain_).ChartPage), 4},
        {"table page pickers", fieldsOf<QDateTimeEdit>(*ViewerControls(*simulation.windows->formMain_).TablePage), 4},
        {"settings pickers", fieldsOf<QDateTimeEdit>(*simulation.windows->formSetting_), 2},
    };
    for (const auto& c : cases) {
        QCOMPARE(c.fields.size(), c.expected);
        const QStringList names = accessibleNames(c.fields);
        QVERIFY2(!names.contains(QString()), c.group);
        QVERIFY2(QSet<QString>(names.begin(), names.end()).size() == names.size(),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.group), names.join(u'|'))));
    }
}

KORVI_QTEST_MAIN(AccessibleNamesTest)
#include "AccessibleNamesTest.moc"
