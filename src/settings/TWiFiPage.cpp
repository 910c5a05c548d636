#include "settings/TWiFiPage.h"

#include "device/RegisterMap.h"
#include "device/TDeviceLink.h"
#include "settings/PageControls.h"
#include "settings/WiFiSettings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Four groups of up to three digits; unfilled positions show as blanks.
const QString AddressMask = QStringLiteral("999.999.999.999; ");

QLineEdit* makeTextEdit(const char* name, int fieldBytes, QWidget* parent)
{
    QLineEdit* edit = NewNamedControl<QLineEdit>(name, parent);
    // One Windows-1251 byte per character: the field holds no more characters than bytes.
    edit->setMaxLength(fieldBytes);
    return edit;
}

QLineEdit* makeAddressEdit(const char* name, QWidget* parent)
{
    QLineEdit* edit = NewNamedControl<QLineEdit>(name, parent);
    edit->setInputMask(AddressMask);
    return edit;
}

// A label in its grid row, naming the edit for screen readers too; the
// group goes in front, as both groups have a field "Имя".
void addRow(QGridLayout* grid, int row, const QLabel* group, const char* caption, QWidget* field)
{
    auto* label = new QLabel(QString::fromUtf8(caption), grid->parentWidget());
    label->setBuddy(field);
    field->setAccessibleName(group->text() + u' ' + label->text());
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
}

struct TextField {
    int firstRegister;
    int bytes;
    QLineEdit* edit;
};

struct TWiFiReading {
    qint32 interval = 0;
    QStringList texts;
};

// The interval, then every text: a logger that stops answering half-way
// leaves all fields alone.
std::optional<TWiFiReading> ReadWiFiFields(TDeviceLink& link, const QList<TextField>& fields)
{
    const std::optional<qint32> interval = link.ReadRegister(RegWiFiInterval);
    if (!interval)
        return std::nullopt;
    TWiFiReading reading{*interval, {}};
    for (const TextField& field : fields) {
        const std::optional<QString> text = link.UnpackText(field.firstRegister, field.bytes);
        if (!text)
            return std::nullopt;
        reading.texts.append(*text);
    }
    return reading;
}

} // namespace

TWiFiPage::TWiFiPage(TLoggerRequests& requests, QWidget* parent)
    : TDevicePage(requests, parent)
{
    setObjectName(QStringLiteral("TWiFiPage"));
    LabelLogger = new QLabel(QString::fromUtf8("Логгер:"), this);
    LabelNet = new QLabel(QString::fromUtf8("Сеть:"), this);
    EditDeviceName = makeTextEdit("EditDeviceName", DeviceNameBytes, this);
    EditDeviceGroup = NewNamedControl<QLineEdit>("EditDeviceGroup", this);
    ComboBoxWiFiInterval = new QComboBox(this);
    ComboBoxWiFiInterval->setObjectName(QStringLiteral("ComboBoxWiFiInterval"));
    ComboBoxWiFiInterval->addItems(WiFiIntervalCode().items());
    EditNetName = makeTextEdit("EditNetName", NetNameBytes, this);
    EditPassw = makeTextEdit("EditPassw", PasswBytes, this);
    MaskEditIPAddr = makeAddressEdit("MaskEditIPAddr", this);
    MaskEditMask = makeAddressEdit("MaskEditMask", this);
    MaskEditGateway = makeAddressEdit("MaskEditGateway", this);
    ButtonWiFiDefault = NewPageButton("По умолчанию", "ButtonWiFiDefault", this);
    ButtonWiFiReadAll = NewPageButton("Прочитать", "ButtonWiFiReadAll", this);
    ButtonWiFiWriteAll = NewPageButton("Записать", "ButtonWiFiWriteAll", this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    grid->addWidget(LabelLogger, 0, 0, 1, 2);
    addRow(grid, 1, LabelLogger, "Имя", EditDeviceName);
    addRow(grid, 2, LabelLogger, "Группа", EditDeviceGroup);
    addRow(grid, 3, LabelLogger, "Интервал опроса", ComboBoxWiFiInterval);
    grid->addWidget(LabelNet, 4, 0, 1, 2);
    addRow(grid, 5, LabelNet, "Имя", EditNetName);
    addRow(grid, 6, LabelNet, "Пароль", EditPassw);
    addRow(grid, 7, LabelNet, "IP адрес", MaskEditIPAddr);
    addRow(grid, 8, LabelNet, "Маска", MaskEditMask);
    addRow(grid, 9, LabelNet, "Шлюз", MaskEditGateway);
    grid->setRowStretch(10, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonWiFiDefault);
    buttons->addStretch();
    buttons->addWidget(ButtonWiFiReadAll);
    buttons->addWidget(ButtonWiFiWriteAll);
    grid->addLayout(buttons, 11, 0, 1, 2);

    connect(ButtonWiFiDefault, &QPushButton::clicked, this, &TWiFiPage::ButtonWiFiDefaultClick);
    connect(ButtonWiFiReadAll, &QPushButton::clicked, this, &TWiFiPage::ButtonWiFiReadAllClick);
    connect(ButtonWiFiWriteAll, &QPushButton::clicked, this, &TWiFiPage::ButtonWiFiWriteAllClick);
}

QList<QWidget*> TWiFiPage::deviceControls() const
{
    return {EditNetName,     EditPassw,       MaskEditIPAddr,       MaskEditMask,
            MaskEditGateway, EditDeviceGroup, EditDeviceName,       ComboBoxWiFiInterval,
            ButtonWiFiDefault, ButtonWiFiReadAll, ButtonWiFiWriteAll};
}

QString TWiFiPage::addressText(const QLineEdit* edit)
{
    return edit->displayText();
}

void TWiFiPage::ShowWiFiDefaults()
{
    EditDeviceName->setText(QStringLiteral("box"));
    EditDeviceGroup->setText(QStringLiteral("sklad"));
    ComboBoxWiFiInterval->setCurrentIndex(1);
    EditNetName->setText(QStringLiteral("esp"));
    EditPassw->setText(QStringLiteral("lan90817263"));
    MaskEditIPAddr->setText(QStringLiteral("192.168.1.101"));
    MaskEditMask->setText(QStringLiteral("255.255.255.0"));
    MaskEditGateway->setText(QStringLiteral("192.168.1.1"));
}

void TWiFiPage::ButtonWiFiReadAllClick()
{
    const QList<TextField> fields = {
        {RegNetName, NetNameBytes, EditNetName},   {RegPassw, PasswBytes, EditPassw},
        {RegIPAddr, AddressBytes, MaskEditIPAddr}, {RegMask, AddressBytes, MaskEditMask},
        {RegGateway, AddressBytes, MaskEditGateway}, {RegDeviceName, DeviceNameBytes, EditDeviceName},
    };
    // The edits are only touched when the reading is shown, on this thread.
    runRequest(QString::fromUtf8("Чтение настроек Wi-Fi…"),
               [fields](TDeviceLink& link) { return ReadWiFiFields(link, fields); },
               [this, fields](const std::optional<TWiFiReading>& reading) {
                   if (!reading)
                       return false;
                   ComboBoxWiFiInterval->setCurrentIndex(
                       WiFiIntervalCode().indexForCode(reading->interval).value_or(-1));
                   for (int i = 0; i < reading->texts.size(); ++i)
                       fields[i].edit->setText(reading->texts[i]);
                   return true;
               });
}

WiFiSettings TWiFiPage::currentSettings() const
{
    WiFiSettings settings;
    settings.deviceName = EditDeviceName->text();
    settings.deviceGroup = EditDeviceGroup->text();
    settings.intervalIndex = ComboBoxWiFiInterval->currentIndex();
    settings.netName = EditNetName->text();
    settings.passw = EditPassw->text();
    settings.ipAddr = addressText(MaskEditIPAddr);
    settings.mask = addressText(MaskEditMask);
    settings.gateway = addressText(MaskEditGateway);
    return settings;
}

void TWiFiPage::ButtonWiFiWriteAllClick()
{
    const WiFiWritePlan plan = PlanWiFiWrite(currentSettings());
    if (!plan.error.isEmpty())
        return refuseWith(plan.error);
    writeRegisters(QString::fromUtf8("Запись настроек Wi-Fi…"), plan.writes, TDeviceLink::ReplyTimeoutMs,
                   QString::fromUtf8("Запись настроек для Wi-Fi успешно выполнена"), TLoggerChange::WiFi,
                   plan.detail);
}
