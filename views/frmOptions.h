#pragma once

#include "app/ViewSettings.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class IPrompt;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TestModeOptionsPage;

// The preferences: how the diagram looks and behaves, editing, test mode and printing. OK and
// Apply hand the settings to whoever keeps them. A preference whose feature the program does
// not have yet is shown but cannot be changed.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    enum class PageIndex { Diagram = 0, Editing = 1, TestMode = 2, Printing = 3 };

    using Apply = std::function<void(const ViewSettings&)>;
    using BuildExpression = std::function<std::optional<QString>(QWidget* parent, const QString& expression)>;

    // Which features the program has, so that their preferences can be changed.
    struct Features {
        bool printing = false;
        // Spelling checked on its own, as typed or before a compile.
        bool spelling = false;
        bool groups = false;
        bool controlWizard = false;
    };

    frmOptions(const ViewSettings& settings, const QStringList& controlNames, const Features& features, IPrompt& prompt,
               Apply onApply, QWidget* parent = nullptr);

    void setBuilder(BuildExpression builder) { m_builder = std::move(builder); }
    // The settings as the fields say, over those given.
    ViewSettings settings() const;
    void showPage(PageIndex page);

    // The colour button of a Diagram colour, by the field's name ("BackColor", ...).
    QPushButton* colourButton(const QString& field) const;
    // Sets a colour as the colour chooser would.
    void setColour(const QString& field, int rgb);

private:
    struct Colour {
        const char* field;
        int labelId;
        int DiagramSettings::*value;
        QPushButton* button = nullptr;
        int rgb = 0;
    };

    QWidget* diagramPage(const Features& features);
    QWidget* editingPage(const Features& features);
    QWidget* printingPage(const Features& features);
    void chooseColour(Colour& colour);
    void showColour(const Colour& colour);
    void apply();

    ViewSettings m_settings;
    IPrompt& m_prompt;
    Apply m_apply;
    BuildExpression m_builder;
    QTabWidget* m_pages = nullptr;
    QComboBox* m_lineStyle = nullptr;
    QComboBox* m_entitySize = nullptr;
    QComboBox* m_newControlType = nullptr;
    QComboBox* m_leftClick = nullptr;
    QCheckBox* m_gridLines = nullptr;
    QCheckBox* m_snapToGrid = nullptr;
    QSpinBox* m_gridSpacing = nullptr;
    QSpinBox* m_snapDistance = nullptr;
    QCheckBox* m_toolTip = nullptr;
    QRadioButton* m_linkAlways = nullptr;
    QRadioButton* m_linkWhen = nullptr;
    QLineEdit* m_linkExpression = nullptr;
    std::vector<Colour> m_colours;
    QCheckBox* m_spellProperties = nullptr;
    QCheckBox* m_spellSelectors = nullptr;
    QCheckBox* m_spellCompile = nullptr;
    QLineEdit* m_imagePath = nullptr;
    QCheckBox* m_wizardOnNew = nullptr;
    QCheckBox* m_diagramOnOpen = nullptr;
    QCheckBox* m_analyzePaths = nullptr;
    TestModeOptionsPage* m_testMode = nullptr;
    std::vector<std::pair<bool PrintSelections::*, QCheckBox*>> m_print;
};
