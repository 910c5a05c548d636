#include "settings/TGeneralPage.h"

#include "device/LoggerQueries.h"
#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"
#include "settings/DigitKeyFilter.h"
#include "settings/FieldConversion.h"
#include "settings/PageControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* makeButton(const char* caption, const char* name, const QRect& geometry,
                        QWidget* parent)
{
    QPushButton* button = NewPageButton(caption, name, parent);
    button->setGeometry(geometry);
    return button;
}

} // namespace

TGeneralPage::TGeneralPage(TLoggerRequests& requests, QWidget* parent)
    : TDevicePage(requests, parent)
{
    setObjectName(QStringLiteral("TGeneralPage"));
    resize(360, 250);

    Label16 = new QLabel(QString::fromUtf8("Номер прибора"), this);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setGeometry(16, 20, 120, 16);

    EditDeviceNumber = new QLineEdit(this);
    EditDeviceNumber->setObjectName(QStringLiteral("EditDeviceNumber"));
    EditDeviceNumber->setGeometry(16, 40, 120, 22);
    EditDeviceNumber->setAccessibleName(Label16->text());
    EditDeviceNumber->installEventFilter(new DigitKeyFilter(EditDeviceNumber));
    Label16->setBuddy(EditDeviceNumber);

    ButtonDeviceNumberRead =
        makeButton("Прочитать", "ButtonDeviceNumberRead", QRect(150, 38, 90, 25), this);
    ButtonDeviceNumberWrite =
        makeButton("Записать", "ButtonDeviceNumberWrite", QRect(250, 38, 90, 25), this);
    ButtonDeviceInit =
        makeButton("Инициализировать", "ButtonDeviceInit", QRect(16, 90, 150, 25), this);
    ButtonNumRecord = makeButton("Button1", "ButtonNumRecord", QRect(288, 4, 68, 22), this);

    connect(ButtonDeviceNumberRead, &QPushButton::clicked, this,
            &TGeneralPage::ButtonDeviceNumberReadClick);
    connect(ButtonDeviceNumberWrite, &QPushButton::clicked, this,
            &TGeneralPage::ButtonDeviceNumberWriteClick);
    connect(ButtonDeviceInit, &QPushButton::clicked, this, &TGeneralPage::ButtonDeviceInitClick);
    connect(ButtonNumRecord, &QPushButton::clicked, this, &TGeneralPage::ButtonNumRecordClick);
}

QList<QWidget*> TGeneralPage::deviceControls() const
{
    return {ButtonNumRecord, ButtonDeviceNumberRead, ButtonDeviceNumberWrite, ButtonDeviceInit,
            EditDeviceNumber};
}

void TGeneralPage::showDetectedNumber(const QString& numberText)
{
    EditDeviceNumber->setText(numberText);
    bool told = false;
    const qint32 number = numberText.toInt(&told);
    knownNumber_ = told ? std::optional<qint32>(number) : std::nullopt;
}

void TGeneralPage::ButtonDeviceNumberReadClick()
{
    runRequest(QString::fromUtf8("Чтение номера прибора…"), &ReadDeviceNumber, [this](const std::optional<qint32>& number) {
        if (!number)
            return false;
        knownNumber_ = *number;
        EditDeviceNumber->setText(QString::number(*number));
        return true;
    });
}

void TGeneralPage::ButtonDeviceNumberWriteClick()
{
    const TFieldValue number = ConvertField(EditDeviceNumber->text(), 1, Label16->text());
    if (!number.error.isEmpty()) {
        ShowErrorBox(window(), number.error);
        return refuse();
    }
    const qint32 written = *number.value;
    const std::optional<QString> before =
        knownNumber_ ? std::optional<QString>(QString::number(*knownNumber_)) : std::nullopt;
    writeRegisters(QString::fromUtf8("Запись номера прибора…"), {{RegDeviceNumber, written}},
                   TDeviceLink::ReplyTimeoutMs, QString::fromUtf8("Запись номера прибора успешно выполнена"),
                   TLoggerChange::Number, ValueChangeText(Label16->text(), before, QString::number(written)),
                   [this, written] { knownNumber_ = written; });
}

// The image holds the device number and the temperature and humidity
// calibration: the trail tells it as a calibration.
void TGeneralPage::ButtonDeviceInitClick()
{
    QList<RegisterWrite> writes;
    for (std::size_t reg = 0; reg < DefaultRegisterImage.size(); ++reg)
        writes.append({int(reg), DefaultRegisterImage[reg]});
    writeRegisters(QString::fromUtf8("Инициализация прибора…"), writes, TDeviceLink::SlowReplyTimeoutMs,
                   QString::fromUtf8("Инициализация прибора успешно выполнена"), TLoggerChange::Calibration,
                   QStringLiteral("Инициализация: номер прибора и калибровка температуры и влажности "
                                  "записаны значениями по умолчанию"),
                   [this] {
                       knownNumber_ = DefaultRegisterImage[RegDeviceNumber];
                       emit initialised();
                   });
}

void TGeneralPage::ButtonNumRecordClick()
{
    ReadLogMemoryUsage();
}

void TGeneralPage::ReadLogMemoryUsage()
{
    runRequest(QString::fromUtf8("Чтение числа записей журнала…"), &ReadLogRecordCount, [this](const std::optional<qint64>& recordCount) {
        if (recordCount)
            emit recordCountRead(*recordCount);
        return recordCount.has_value();
    });
}
