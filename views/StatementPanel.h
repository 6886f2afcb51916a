#pragma once

#include "lang/BlockLine.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;

// The statement editor below the option tree: the kind of line (option, popup help or an
// action keyword) and the parts that kind asks for, composed into the line in the shape the
// block expects. It loads the selected line to be changed, and asks for it to be added or to
// replace the selected one.
class StatementPanel : public QWidget {
    Q_OBJECT

public:
    // Opens the expression builder on a text; nothing when the author cancels.
    using BuildExpression =
        std::function<std::optional<QString>(const QString& expression, bool isBoolean, const QString& itemSelector)>;

    explicit StatementPanel(QWidget* parent = nullptr);

    void setBuilder(BuildExpression builder) { m_builder = std::move(builder); }
    void setControlNames(const QStringList& names);
    void setSelectorNames(const QStringList& names);
    // What an option may be, offered as the author types one; empty when options are free text.
    void setOptionChoices(const QStringList& choices);

    // Shows the line's kind and parts; a line that is no known statement shows as an option
    // or help line, or in the text field of its keyword.
    void load(const QString& line);
    // The line the fields make; empty when they make none (an option or help without text).
    QString line() const;

    void chooseOption();
    void chooseHelp();
    void chooseKeyword(BlockLine::Keyword keyword);
    bool choosesAction() const { return kind() == Kind::Action; }
    // Opens the builder on the field that holds an expression.
    void buildExpression();
    bool canBuildExpression() const;
    void setCanReplace(bool canReplace);
    // Empties the parts, keeping the kind, for the next line.
    void clearParts();
    void focusKind();
    // The first field the kind asks for.
    void focusParts();

    QComboBox* kindBox() const { return m_kind; }
    QComboBox* targetBox() const { return m_target; }
    QLineEdit* valueBox() const { return m_value; }
    QComboBox* switchBox() const { return m_switch; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* replaceButton() const { return m_replace; }

signals:
    void addRequested();
    void replaceRequested();

private:
    enum class Kind { Option, Help, Action };
    Kind kind() const;
    std::optional<BlockLine::Keyword> keyword() const;
    void showFields();
    void kindChosen();
    void loadParts(const QString& line);
    void setTargetNames(const QStringList& names);

    BuildExpression m_builder;
    QStringList m_controls;
    QStringList m_selectors;
    QCompleter* m_optionCompleter = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_targetLabel = nullptr;
    QComboBox* m_target = nullptr;
    QLabel* m_valueLabel = nullptr;
    QLineEdit* m_value = nullptr;
    QComboBox* m_switch = nullptr;
    QPushButton* m_build = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_replace = nullptr;
    bool m_canReplace = false;
    // The parts hold the selected line as loaded, not yet touched by the author.
    bool m_partsAsLoaded = false;
    bool m_loading = false;
};
