#pragma once

#include "edit/ExpressionBuilder.h"

#include <QDialog>
#include <QStringList>

class CmDecisionManager;
class IPrompt;
class ISelectorCatalog;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// What the builder offers and checks against: the project's controls and selectors, and where
// it asks the author.
struct ExpressionBuilderSources {
    const CmDecisionManager& decisions;
    // The project's selectors, in project order.
    QStringList selectors;
    const ISelectorCatalog& catalog;
    IPrompt& prompt;
};

// Composes one expression: every operator and function button inserts its text at the caret,
// the three reference panels insert a control, an option or a selector reference, Validate
// checks the references and OK closes only when they all exist.
class frmExpressionBuilder : public QDialog {
    Q_OBJECT

public:
    explicit frmExpressionBuilder(const ExpressionBuilderSources& sources, QWidget* parent = nullptr);

    QString Expression() const;
    void setExpression(const QString& expression);
    // Whether the caller wants a condition (an !IF, a link) rather than a value.
    bool IsBoolean() const { return m_isBoolean; }
    void setIsBoolean(bool isBoolean) { m_isBoolean = isBoolean; }
    // In a !KILL or !SORT expression, the selector whose item is under test: a property of that
    // selector may then be inserted alone.
    void setItemSelector(const QString& selector);

    // What the buttons and panels do, for the keyboard and for tests.
    void press(ExpressionBuilder::Button button);
    void insertControlReference();
    void insertOptionReference();
    void insertSelectorReference();
    void insertPropertyAlone();
    // The Validate button: true when every reference exists; otherwise the message box.
    bool validate();

    QLineEdit* expressionBox() const { return m_expression; }
    QCheckBox* inverseBox() const { return m_inverse; }
    QListWidget* controlList() const { return m_controls; }
    QComboBox* optionControlBox() const { return m_optionControl; }
    QListWidget* optionList() const { return m_options; }
    QListWidget* selectorList() const { return m_selectors; }
    QListWidget* propertyList() const { return m_properties; }
    QListWidget* itemList() const { return m_items; }
    QTabWidget* referencePanels() const { return m_panels; }
    QLabel* syntaxLabel() const { return m_syntax; }

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeButtons();
    QWidget* makeControlPanel();
    QWidget* makeOptionPanel();
    QWidget* makeSelectorPanel();
    void insertText(const ExpressionBuilder::Insertion& insertion);
    void showOptions();
    void showSelector();
    void showSyntax();
    void updateButtons();

    const ExpressionBuilderSources m_sources;
    bool m_isBoolean = false;
    QString m_itemSelector;
    QLineEdit* m_expression = nullptr;
    QLabel* m_syntax = nullptr;
    QCheckBox* m_inverse = nullptr;
    QTabWidget* m_panels = nullptr;
    QListWidget* m_controls = nullptr;
    QComboBox* m_optionControl = nullptr;
    QListWidget* m_options = nullptr;
    QListWidget* m_selectors = nullptr;
    QListWidget* m_properties = nullptr;
    QListWidget* m_items = nullptr;
    QPushButton* m_insertControl = nullptr;
    QPushButton* m_insertOption = nullptr;
    QPushButton* m_insertSelector = nullptr;
    QPushButton* m_insertProperty = nullptr;
};
