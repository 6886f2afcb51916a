#pragma once

#include "edit/CvDecisionTree.h"

#include <QDialog>

#include <functional>
#include <optional>

class CmDecisionItem;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// Asks under which conditions a link drawn on the diagram is followed.
class frmAddLink : public QDialog {
    Q_OBJECT

public:
    explicit frmAddLink(QWidget* parent = nullptr);

    void LoadSourceDecision(const CmDecisionItem& decision);
    // Empty unless the option check box is set.
    QString LinkOption() const;
    // Empty unless the expression check box is set.
    QString LinkExpr() const;
    bool Cancelled() const { return m_cancelled; }
    void Update();
    void Clear();
    // Chooses as the preferences say.
    void Preset(const LinkPreferences& preferences);

signals:
    // The option builder is to open on the expression box.
    void optionBuilderRequested(QLineEdit* expression);

private:
    QRadioButton* m_always = nullptr;
    QRadioButton* m_conditional = nullptr;
    QCheckBox* m_byOption = nullptr;
    QCheckBox* m_byExpression = nullptr;
    QListWidget* m_options = nullptr;
    QLineEdit* m_expression = nullptr;
    bool m_cancelled = true;
};

// The link dialog as the diagram asks it: a new frmAddLink for each link, its option builder
// opening the expression builder on the expression box.
class QtLinkDialog : public ILinkDialog {
public:
    // The builder's text after OK, or nothing; without one the option builder does nothing.
    using BuildExpression = std::function<std::optional<QString>(QWidget* parent, const QString& expression)>;

    explicit QtLinkDialog(QWidget* parent, BuildExpression builder = {})
        : m_parent(parent), m_builder(std::move(builder))
    {
    }
    LinkAnswer AskLink(const CmDecisionItem& source, const LinkPreferences& preferences) override;

private:
    QWidget* m_parent;
    BuildExpression m_builder;
};
