#include "lang/ActionStatement.h"

#include "base/StartUpTables.h"

namespace {

using BlockLine::Keyword;

constexpr QChar blank = QLatin1Char(' ');

// "[[Name]]" and "Name" both name the control.
QString controlName(const QString& written)
{
    QString name = written.trimmed();
    if (name.startsWith(QLatin1String("[[")) && name.endsWith(QLatin1String("]]")))
        name = name.mid(2, name.size() - 4);
    return name.trimmed();
}

// The argument split at the first separator: before it the target, after it the value.
ActionStatement::Parts splitAt(Keyword keyword, const QString& argument, QChar separator, bool control)
{
    const qsizetype at = argument.indexOf(separator);
    const QString before = at < 0 ? argument : argument.left(at);
    const QString after = at < 0 ? QString() : argument.mid(at + 1).trimmed();
    return {keyword, control ? controlName(before) : before.trimmed(), after};
}

} // namespace

ActionStatement::Shape ActionStatement::ShapeOf(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Else:
    case Keyword::EndIf:
    case Keyword::Noop: return Shape::Bare;
    case Keyword::Go: return Shape::Control;
    case Keyword::Set:
    case Keyword::Default: return Shape::ControlValue;
    case Keyword::Kill:
    case Keyword::Sort: return Shape::SelectorExpression;
    case Keyword::If:
    case Keyword::ElseIf: return Shape::Expression;
    case Keyword::EarlyFinish: return Shape::Switch;
    case Keyword::Call:
    case Keyword::Jump:
    case Keyword::JumpN:
    case Keyword::Submit: break;
    }
    return Shape::Text;
}

std::optional<Keyword> ActionStatement::KeywordOf(const QString& line)
{
    if (!BlockLine::IsAction(line))
        return std::nullopt;
    const QString keyword = BlockLine::ActionKeyword(line);
    const QStringList& keywords = StartUpTables::Keywords();
    for (int i = 0; i < keywords.size(); ++i) {
        if (!keyword.isEmpty() && keyword.compare(keywords.at(i), Qt::CaseInsensitive) == 0)
            return static_cast<Keyword>(StartUpTables::FirstKeywordId + i);
    }
    return std::nullopt;
}

std::optional<ActionStatement::Parts> ActionStatement::Split(const QString& line)
{
    const std::optional<Keyword> keyword = KeywordOf(line);
    if (!keyword)
        return std::nullopt;
    const QString argument = BlockLine::ActionArgument(line);
    switch (ShapeOf(*keyword)) {
    case Shape::Bare: return Parts{*keyword, {}, {}};
    case Shape::Control: return Parts{*keyword, controlName(argument), {}};
    case Shape::ControlValue: return splitAt(*keyword, argument, QLatin1Char('='), true);
    case Shape::SelectorExpression: return splitAt(*keyword, argument, QLatin1Char(':'), false);
    case Shape::Expression:
    case Shape::Switch:
    case Shape::Text: break;
    }
    return Parts{*keyword, {}, argument.trimmed()};
}

QString ActionStatement::Compose(const Parts& parts)
{
    QString line = BlockLine::MarkedKeyword(parts.keyword);
    switch (ShapeOf(parts.keyword)) {
    case Shape::Bare: return line;
    case Shape::Control: return line + blank + parts.target.trimmed();
    case Shape::ControlValue:
        return line + QStringLiteral(" [[") + parts.target.trimmed() + QStringLiteral("]] = ") + parts.value.trimmed();
    case Shape::SelectorExpression: return line + blank + parts.target.trimmed() + QStringLiteral(" : ") + parts.value.trimmed();
    case Shape::Expression:
    case Shape::Switch:
    case Shape::Text: break;
    }
    return line + blank + parts.value.trimmed();
}
