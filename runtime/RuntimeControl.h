#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The input interfaces by their type codes; Unknown stands for a name that is not in the table.
enum class RuntimeInterface {
    Radio = 0,
    Check,
    List,
    MultiList,
    DList,
    Combo,
    DCombo,
    NumBox,
    RealNumBox,
    Slide,
    NumSlide,
    StringBox,
    Command,
    Info,
    Done,
    TextArea,
    Unknown,
};

// A numeric option: either end may be open.
struct NumericRange {
    std::optional<double> low;
    std::optional<double> high;

    bool contains(double value) const;
    // "300-699", "-10", "5-"; nothing when the text is not a range.
    static std::optional<NumericRange> parse(const QString& text);
};

// One answer of a control with the actions that follow it, up to the next answer.
struct RuntimeOption {
    QString text;         // without the "^"
    QStringList actions;  // action lines, "!" included, in order
};

// One control of a compiled tree, read from its stored decision record.
struct RuntimeControl {
    int id = 0;
    QList<int> displayedIds;
    QString name;
    QString picture;
    QString header;       // tagged text, quote escapes removed
    RuntimeInterface type = RuntimeInterface::Unknown;
    QString interfaceName;
    QString defaultValue; // as written
    QString caption;
    QStringList preActions;
    QList<RuntimeOption> options;

    // The name when it has one, else "_" and its id: how references and the transcript name it.
    QString displayName() const;
    // How a message to the person answering names the control: its caption, else its name.
    QString captionOrName() const;
    bool isNumeric() const;
    bool isBoolean() const;
    bool isSelectorList() const;
    // Info and Done pages take no answer; string controls take any text.
    bool takesAnswer() const;
    // Interfaces whose empty answer means nothing was chosen, which no page may be left with.
    bool needsChoice() const;
    // Interfaces that need options to show anything: without any, the page is passed over.
    bool needsOptions() const;
    // The span of the numeric options; open ends when there are none.
    NumericRange limits() const;

    static RuntimeInterface interfaceFromName(const QString& name);
    // Reads one record (fields as RecordFields gives them); nothing when the ID is not a number.
    static std::optional<RuntimeControl> fromFields(const QStringList& fields);
};
