#include "views/PlayerControlView.h"

#include "runtime/RuntimeEngine.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {
constexpr double OpenEnd = 1e9;
}

PlayerControlView::PlayerControlView(const RuntimeControl& control, const RuntimeEngine& engine, QWidget* parent)
    : PlayerControlView(control, engine.value(control.id), selectorItems(control, engine), parent)
{
}

PlayerControlView::PlayerControlView(const RuntimeControl& control, const QString& value,
                                     const QStringList& items, QWidget* parent)
    : QWidget(parent), m_control(control)
{
    setObjectName(QStringLiteral("control-%1").arg(control.displayName()));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    const QString caption = control.caption.isEmpty() ? control.displayName() : control.caption;
    if (control.type != RuntimeInterface::Check && control.type != RuntimeInterface::Command && control.takesAnswer())
        layout->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(caption.toHtmlEscaped()), this));

    switch (control.type) {
    case RuntimeInterface::Radio:
        buildChoices(value);
        break;
    case RuntimeInterface::Check:
        m_check = new QCheckBox(caption, this);
        m_check->setChecked(value == QLatin1String("True"));
        layout->addWidget(m_check);
        break;
    case RuntimeInterface::Command: {
        auto* button = new QPushButton(caption, this);
        connect(button, &QPushButton::clicked, this, [this] {
            m_pushed = true;
            emit pushed();
        });
        m_command = button;
        layout->addWidget(button);
        break;
    }
    case RuntimeInterface::List:
        buildList(optionTexts(), value, false);
        break;
    case RuntimeInterface::MultiList:
        buildList(optionTexts(), value, true);
        break;
    case RuntimeInterface::DList:
        buildList(items, value, false);
        break;
    case RuntimeInterface::Combo:
        buildCombo(optionTexts(), value);
        break;
    case RuntimeInterface::DCombo:
        buildCombo(items, value);
        break;
    case RuntimeInterface::NumBox:
    case RuntimeInterface::RealNumBox:
    case RuntimeInterface::NumSlide:
        buildNumber(value);
        break;
    case RuntimeInterface::Slide:
        buildSlide(value);
        break;
    case RuntimeInterface::StringBox:
        m_line = new QLineEdit(value, this);
        layout->addWidget(m_line);
        break;
    case RuntimeInterface::TextArea:
        m_text = new QPlainTextEdit(value, this);
        m_text->setMaximumHeight(120);
        layout->addWidget(m_text);
        break;
    default:
        break;
    }
}

int PlayerControlView::controlId() const
{
    return m_control.id;
}

QStringList PlayerControlView::optionTexts() const
{
    QStringList texts;
    for (const RuntimeOption& option : m_control.options)
        texts.append(option.text);
    return texts;
}

QStringList PlayerControlView::selectorItems(const RuntimeControl& control, const RuntimeEngine& engine)
{
    QStringList items;
    if (!control.isSelectorList())
        return items;
    for (const RuntimeOption& option : control.options) {
        if (const SelectorTable* table = engine.selector(option.text))
            for (const int item : table->remaining())
                items.append(table->itemName(item));
    }
    return items;
}

void PlayerControlView::buildChoices(const QString& value)
{
    m_radios = new QButtonGroup(this);
    int id = 0;
    for (const QString& text : optionTexts()) {
        auto* button = new QRadioButton(text, this);
        button->setChecked(text == value);
        m_radios->addButton(button, id++);
        layout()->addWidget(button);
    }
}

void PlayerControlView::buildList(const QStringList& entries, const QString& value, bool multiple)
{
    m_list = new QListWidget(this);
    const QStringList chosen = value.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        auto* item = new QListWidgetItem(entry, m_list);
        if (multiple) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(chosen.contains(entry) ? Qt::Checked : Qt::Unchecked);
        } else if (entry == value) {
            m_list->setCurrentItem(item);
        }
    }
    m_list->setMaximumHeight(160);
    layout()->addWidget(m_list);
}

void PlayerControlView::buildCombo(const QStringList& entries, const QString& value)
{
    m_combo = new QComboBox(this);
    m_combo->addItems(entries);
    m_combo->setCurrentIndex(static_cast<int>(entries.indexOf(value)));
    layout()->addWidget(m_combo);
}

void PlayerControlView::buildNumber(const QString& value)
{
    const NumericRange limits = m_control.limits();
    const double low = limits.low.value_or(-OpenEnd);
    const double high = limits.high.value_or(OpenEnd);
    const double current = value.isEmpty() ? std::max(low, std::min(0.0, high)) : value.toDouble();
    if (m_control.type == RuntimeInterface::RealNumBox) {
        m_real = new QDoubleSpinBox(this);
        m_real->setDecimals(2);
        m_real->setRange(low, high);
        m_real->setValue(current);
        layout()->addWidget(m_real);
        return;
    }
    m_integer = new QSpinBox(this);
    m_integer->setRange(int(std::max(low, double(INT_MIN))), int(std::min(high, double(INT_MAX))));
    m_integer->setValue(int(current));
    layout()->addWidget(m_integer);
    if (m_control.type == RuntimeInterface::NumSlide && limits.low && limits.high) {
        m_slider = new QSlider(Qt::Horizontal, this);
        m_slider->setRange(m_integer->minimum(), m_integer->maximum());
        m_slider->setValue(m_integer->value());
        connect(m_slider, &QSlider::valueChanged, m_integer, &QSpinBox::setValue);
        connect(m_integer, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
        layout()->addWidget(m_slider);
    }
}

void PlayerControlView::buildSlide(const QString& value)
{
    const QStringList ticks = optionTexts();
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, std::max(0, int(ticks.size()) - 1));
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setPageStep(1);
    m_slider->setValue(std::max(0, int(ticks.indexOf(value))));
    m_sliderText = new QLabel(ticks.value(m_slider->value()), this);
    connect(m_slider, &QSlider::valueChanged, m_sliderText,
            [this, ticks](int position) { m_sliderText->setText(ticks.value(position)); });
    layout()->addWidget(m_slider);
    layout()->addWidget(m_sliderText);
}

QString PlayerControlView::answer() const
{
    if (m_radios)
        return m_radios->checkedButton() ? m_radios->checkedButton()->text() : QString();
    if (m_check)
        return m_check->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    if (m_command)
        return m_pushed ? QStringLiteral("True") : QStringLiteral("False");
    if (m_list && m_control.type == RuntimeInterface::MultiList) {
        QStringList chosen;
        for (int row = 0; row < m_list->count(); ++row)
            if (m_list->item(row)->checkState() == Qt::Checked)
                chosen.append(m_list->item(row)->text());
        return chosen.join(QLatin1Char('|'));
    }
    if (m_list)
        return m_list->currentItem() ? m_list->currentItem()->text() : QString();
    if (m_combo)
        return m_combo->currentIndex() >= 0 ? m_combo->currentText() : QString();
    if (m_real)
        return QString::number(m_real->value(), 'g', 12);
    if (m_integer)
        return QString::number(m_integer->value());
    if (m_slider && m_sliderText)
        return m_sliderText->text();
    if (m_line)
        return m_line->text();
    if (m_text)
        return m_text->toPlainText();
    return QString();
}
