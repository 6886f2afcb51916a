#include "lang/ReferenceWalk.h"

#include "lang/Tokenizer.h"

#include <QRegularExpression>

namespace {

using ReferenceWalk::Reference;

const QString referenceDelimiters = QStringLiteral("<>[]");

// An open reference runs from its first character that is no blank to the first operator,
// parenthesis or blank after it.
QString cutOpen(const QString& name)
{
    static const QRegularExpression stop(QStringLiteral("[-+*/() ]"));
    qsizetype start = 0;
    while (start < name.size() && name.at(start) == QLatin1Char(' '))
        ++start;
    const qsizetype end = name.indexOf(stop, start + 1);
    return name.mid(start, end < 0 ? -1 : end - start);
}

QList<Reference> walk(const QString& text, bool cutOpenReferences)
{
    QList<Reference> references;
    if (text.isEmpty())
        return references;
    Tokenizer tokenizer;
    tokenizer.setKeepDelimiters(true);
    tokenizer.setDelimiters(referenceDelimiters);
    tokenizer.setText(text);
    for (int i = 3; i <= tokenizer.Count(); ++i) {
        const QString before = tokenizer.Token(i - 2).Value() + tokenizer.Token(i - 1).Value();
        Reference reference;
        QString closing;
        if (before == QLatin1String("[[")) {
            reference.kind = Reference::Kind::Control;
            closing = QStringLiteral("]");
        } else if (before == QLatin1String("<<")) {
            reference.kind = Reference::Kind::Selector;
            closing = QStringLiteral(">");
        } else {
            continue;
        }
        reference.text = tokenizer.Token(i).Value();
        if (cutOpenReferences && tokenizer.Token(i + 1).Value() != closing)
            reference.text = cutOpen(reference.text);
        references.append(reference);
    }
    return references;
}

} // namespace

QList<Reference> ReferenceWalk::Find(const QString& text)
{
    return walk(text, false);
}

QList<Reference> ReferenceWalk::FindForBuilder(const QString& text)
{
    return walk(text, true);
}

QList<ReferenceWalk::BracketSpan> ReferenceWalk::BracketSpans(const QString& text)
{
    QList<BracketSpan> spans;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1String("[["), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1String("]]"), open + 2);
        if (close < 0)
            return spans;
        pos = close + 2;
        spans.append({open, pos});
    }
}
