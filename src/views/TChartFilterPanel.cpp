#include "views/TChartFilterPanel.h"

#include "views/PeriodPickers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int ScrollBarTop = 2;
constexpr int ControlsTop = 20;
constexpr int ControlsLeft = 8;
constexpr int ControlHeight = 22;

template <class Widget>
Widget* named(Widget* widget, const char* objectName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setFixedHeight(ControlHeight);
    return widget;
}

QLabel* newLabel(const QString& text, const char* objectName)
{
    return named(new QLabel(text), objectName);
}

QPushButton* newButton(const QString& text, const char* objectName)
{
    auto* button = named(new QPushButton(text), objectName);
    button->setFixedWidth(80);
    return button;
}

template <class Picker>
Picker* newPicker(const char* displayFormat, const char* objectName)
{
    auto* picker = named(new Picker, objectName);
    picker->setDisplayFormat(QString::fromLatin1(displayFormat));
    picker->setFixedWidth(86);
    return picker;
}

QHBoxLayout* newRow(QVBoxLayout* rows)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    rows->addLayout(row);
    return row;
}

} // namespace

TChartFilterPanel::TChartFilterPanel(QWidget* parent)
    : QFrame(parent)
    , ScrollBarScroll(new QScrollBar(Qt::Horizontal, this))
    , LabelScale(newLabel(QStringLiteral("Масштаб:"), "LabelScale"))
    , ButtonZoomIn(newButton(QStringLiteral("Увеличить"), "ButtonZoomIn"))
    , ButtonZoomOut(newButton(QStringLiteral("Уменьшить"), "ButtonZoomOut"))
    , LabelRow(newLabel(QStringLiteral("Интервалы:"), "LabelRow"))
    , ComboBoxRow(named(new QComboBox, "ComboBoxRow"))
    , LabelFilter(newLabel(QStringLiteral("Фильтр:"), "LabelFilter"))
    , LabelFrom(newLabel(QStringLiteral("с"), "LabelFrom"))
    , DateTimePickerDFStart(newPicker<QDateEdit>("dd.MM.yy", "DateTimePickerDFStart"))
    , DateTimePickerTFStart(newPicker<QTimeEdit>("HH:mm:ss", "DateTimePickerTFStart"))
    , LabelTo(newLabel(QStringLiteral("по"), "LabelTo"))
    , DateTimePickerDFStop(newPicker<QDateEdit>("dd.MM.yy", "DateTimePickerDFStop"))
    , DateTimePickerTFStop(newPicker<QTimeEdit>("HH:mm:ss", "DateTimePickerTFStop"))
    , ButtonFiltr(newButton(QStringLiteral("Выбрать"), "ButtonFiltr"))
    , ButtonFilterClear(newButton(QStringLiteral("Сбросить"), "ButtonFilterClear"))
    , controls_(new QWidget(this))
{
    setObjectName(QStringLiteral("PanelFiltr"));
    setFixedHeight(PanelHeight);
    setAutoFillBackground(true);
    ScrollBarScroll->setObjectName(QStringLiteral("ScrollBarScroll"));
    ScrollBarScroll->setMinimum(0);
    // Only the listed intervals can be chosen: a typed text would name no run.
    ComboBoxRow->setEditable(false);
    ComboBoxRow->setFixedWidth(225);
    ComboBoxRow->setAccessibleName(QStringLiteral("Интервалы"));
    NamePeriodPickers(*DateTimePickerDFStart, *DateTimePickerTFStart, *DateTimePickerDFStop, *DateTimePickerTFStop);

    auto* rows = new QVBoxLayout(controls_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    QHBoxLayout* first = newRow(rows);
    for (QWidget* control : std::initializer_list<QWidget*>{LabelScale, ButtonZoomIn, ButtonZoomOut})
        first->addWidget(control);
    first->addSpacing(16);
    first->addWidget(LabelRow);
    first->addWidget(ComboBoxRow);
    first->addStretch();
    QHBoxLayout* second = newRow(rows);
    for (QWidget* control : std::initializer_list<QWidget*>{LabelFilter, LabelFrom, DateTimePickerDFStart,
                                                             DateTimePickerTFStart, LabelTo, DateTimePickerDFStop,
                                                             DateTimePickerTFStop, ButtonFiltr, ButtonFilterClear})
        second->addWidget(control);
    second->addStretch();
}

void TChartFilterPanel::placeScrollBar(int left, int width)
{
    ScrollBarScroll->setGeometry(left, ScrollBarTop, std::max(width, 0), ScrollBarScroll->sizeHint().height());
}

void TChartFilterPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    controls_->setGeometry(ControlsLeft, ControlsTop, width() - ControlsLeft, height() - ControlsTop);
}
