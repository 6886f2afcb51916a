#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Turns the web notation of actions and expressions back into the lines the engine runs, as the
// desktop tree writes them:
// - "[[N]]" names the control by its name when it has one (the desktop tree keeps names);
// - the casts "(num)", "(bool)" and "(stringReturnQuotes)" after an operand are dropped: the
//   engine works types out as it evaluates;
// - "\"LIST\":\"PROPERTY\"" (an item of a selector under test) becomes the bare property inside
//   !KILL and !SORT of that selector, "<<LIST:PROPERTY;-1>>" elsewhere;
// - "+dquot" inside a quoted text is a quote again;
// - the parentheses around every term go where the grammar does not need them.
// What the web notation cannot tell apart is read the likelier way:
// - a bare word compared as text was quoted by the web compiler and reads as a text;
// - a text literally holding "+dquot" reads with a quote there;
// - a !JUMP address comes back without quotes, however it was written;
// - the words of a Check or Command control in !CALL, !SUBMIT or !EARLYFINISH texts come back
//   in the web's form ("<>TRUE" for "=FALSE");
// - ";,!KEYWORD" inside the free text of a !CALL, !SUBMIT or !EARLYFINISH within an !IF block
//   ends that action there.
// An expression the web compiler left as written (it did not parse) is handed on as it stands,
// so that the engine reports it where the desktop run would.
class WebNotationReader {
public:
    // The control names by compiled number; a control without a name is left out.
    explicit WebNotationReader(QHash<int, QString> names = {});

    // The actions of one Action element, as the element's text reads once XML is decoded.
    QStringList actions(const QString& element) const;
    // One action, "!" and its keyword first, without the ";" that closes it.
    QString action(const QString& web) const;
    // An expression; list names the selector whose items a !KILL or !SORT is testing.
    QString expression(const QString& web, const QString& list = QString()) const;
    // Every [[N]] of a text by the control's name.
    QString references(const QString& text) const;

private:
    std::optional<QString> translate(const QString& web, const QString& list) const;
    QString controlName(const QString& reference) const;
    QString itemReference(const QString& selector, const QString& property, const QString& list) const;
    QString selectorAction(const QString& argument, bool sort) const;
    QString setAction(const QString& argument) const;

    QHash<int, QString> m_names;
};
