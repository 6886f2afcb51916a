#pragma once

#include "runtime/RuntimeControl.h"

#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSlider;
class QSpinBox;
class RuntimeEngine;


// One control of a player page: its caption and the input its interface takes, filled with the
// control's current value; answer() gives back what the user chose, in the engine's answer form.
class PlayerControlView : public QWidget {
    Q_OBJECT

public:
    // The control as the run stands: its value, and the items left in the selectors it lists.
    PlayerControlView(const RuntimeControl& control, const RuntimeEngine& engine, QWidget* parent = nullptr);
    // The control with a value and selector items given (a preview of the page).
    PlayerControlView(const RuntimeControl& control, const QString& value, const QStringList& items,
                      QWidget* parent = nullptr);

    int controlId() const;
    const RuntimeControl& control() const { return m_control; }
    QString answer() const;

signals:
    // A command button was pushed: its page is answered.
    void pushed();

private:
    void buildChoices(const QString& value);
    void buildList(const QStringList& entries, const QString& value, bool multiple);
    void buildCombo(const QStringList& entries, const QString& value);
    void buildNumber(const QString& value);
    void buildSlide(const QString& value);
    QStringList optionTexts() const;
    static QStringList selectorItems(const RuntimeControl& control, const RuntimeEngine& engine);

    // A copy: a preview's page description may go before the view does.
    const RuntimeControl m_control;
    QButtonGroup* m_radios = nullptr;
    QCheckBox* m_check = nullptr;
    QAbstractButton* m_command = nullptr;
    bool m_pushed = false;
    QListWidget* m_list = nullptr;
    QComboBox* m_combo = nullptr;
    QSpinBox* m_integer = nullptr;
    QDoubleSpinBox* m_real = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_sliderText = nullptr;
    QLineEdit* m_line = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
