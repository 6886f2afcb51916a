#include "edit/ExpressionBuilder.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionParser.h"
#include "model/OptionRules.h"
#include "lang/ReferenceWalk.h"
#include "lang/SelectorLookup.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"

#include <algorithm>

namespace {

using namespace ExpressionBuilder;

constexpr int andCaptionId = 11206;
constexpr int orCaptionId = 11207;
constexpr int controlWordId = 11208;
constexpr int doesNotExistId = 11209;
constexpr int selectorWordId = 11210;
constexpr int errorTitleId = 11211;

constexpr QChar blank = QLatin1Char(' ');

// A function leaves the caret between the two blanks inside its parentheses.
constexpr int insideParentheses = 3;

Insertion text(const char* inserted)
{
    return {QString::fromLatin1(inserted), 0};
}

Insertion function(const char* name)
{
    return {QString::fromLatin1(name) + QStringLiteral("(  ) "), insideParentheses};
}

QList<ButtonRow> makeButtons()
{
    return {
        {Button::And, andCaptionId, text("& "), {}},
        {Button::Or, orCaptionId, text("| "), {}},
        {Button::Equal, 0, text("= "), {}},
        {Button::Less, 0, text("< "), {}},
        {Button::Greater, 0, text("> "), {}},
        {Button::Plus, 0, text("+ "), {}},
        {Button::Minus, 0, text("- "), {}},
        {Button::Multiply, 0, text("* "), {}},
        {Button::Divide, 0, text("/ "), {}},
        {Button::OpenParenthesis, 0, text("("), {}},
        {Button::CloseParenthesis, 0, text(")"), {}},
        {Button::Abs, 0, function("ABS"), {}},
        {Button::Ceiling, 0, function("CEIL"), {}},
        {Button::Floor, 0, function("FLOOR"), {}},
        {Button::Frac, 0, function("FRAC"), {}},
        {Button::Int, 0, function("INT"), {}},
        {Button::Log, 0, function("LOG10"), {}},
        {Button::Ln, 0, function("LOG"), function("EXP")},
        {Button::Sin, 0, function("SIN"), function("ASIN")},
        {Button::Cos, 0, function("COS"), function("ACOS")},
        {Button::Tan, 0, function("TAN"), function("ATN")},
        // The inverse of a square root is the power operator, which has no parentheses.
        {Button::Sqrt, 0, function("SQR"), text("^2 ")},
        {Button::Pi, 0, text("3.141592653589793 "), {}},
    };
}

} // namespace

const QList<ButtonRow>& ExpressionBuilder::Buttons()
{
    static const QList<ButtonRow> buttons = makeButtons();
    return buttons;
}

Insertion ExpressionBuilder::InsertionFor(Button button, bool inverse)
{
    const QList<ButtonRow>& buttons = Buttons();
    const auto row = std::find_if(buttons.begin(), buttons.end(),
                                  [button](const ButtonRow& candidate) { return candidate.button == button; });
    if (row == buttons.end())
        return {};
    return inverse && !row->inverse.text.isEmpty() ? row->inverse : row->plain;
}

QString ExpressionBuilder::Insert(const QString& text, int caret, const Insertion& insertion, int& newCaret)
{
    const int at = std::clamp(caret, 0, static_cast<int>(text.size()));
    newCaret = at + static_cast<int>(insertion.text.size()) - insertion.caretBack;
    QString result = text;
    return result.insert(at, insertion.text);
}

QStringList ExpressionBuilder::ControlNames(const CmDecisionManager& decisions)
{
    QStringList names;
    names.reserve(decisions.Count());
    for (int index = 1; index <= decisions.Count(); ++index) {
        if (const CmDecisionItem* decision = decisions.ItemByIndex(index))
            names.append(decision->strID().isEmpty() ? QString::number(decision->intID()) : decision->strID());
    }
    return names;
}

QString ExpressionBuilder::ControlReferenceText(const QString& name)
{
    const QString reference = QStringLiteral("[[") + name + QStringLiteral("]]");
    const ExpressionParseResult read = ExpressionParser::parse(reference);
    const bool readBack = read.ok() && read.root->kind() == ExpressionKind::ControlReference
                          && read.root->text() == name.trimmed();
    return readBack ? reference + blank : QString();
}

QString ExpressionBuilder::OptionReferenceText(const QString& option)
{
    if (MDecisionDataUtil::IsDecimalNumber(option))
        return option;
    return ExpressionNode::QuotedText(option);
}

QStringList ExpressionBuilder::OptionChoices(const CmDecisionItem& decision)
{
    QStringList options = MDecisionDataUtil::FixedOptions(decision.intControl());
    if (!options.isEmpty())
        return options;
    for (const QString& line : decision.OptsAndActs()) {
        if (BlockLine::IsOption(line))
            options.append(BlockLine::Body(line));
    }
    return options;
}

QString ExpressionBuilder::SelectorReferenceText(const QString& selector, const QString& property,
                                                 const QString& item)
{
    const SelectorReference parts{selector.trimmed(), property.trimmed(), item.trimmed()};
    const QString reference = QStringLiteral("<<") + selector + QLatin1Char(':') + property + QLatin1Char(';') + item
                              + QStringLiteral(">>");
    const ExpressionParseResult read = ExpressionParser::parse(reference);
    const bool readBack = read.ok() && read.root->kind() == ExpressionKind::SelectorReference
                          && read.root->selectorReference() == parts;
    return readBack ? reference + blank : QString();
}

QString ExpressionBuilder::PropertyReferenceText(const QString& property)
{
    const ExpressionParseResult read = ExpressionParser::parse(property);
    const bool readBack = read.ok() && read.root->kind() == ExpressionKind::Property && read.root->text() == property;
    return readBack ? property + blank : QString();
}

CheckResult ExpressionBuilder::CheckReferences(const QString& expression, const CmDecisionManager& decisions,
                                               const ISelectorCatalog& selectors)
{
    const SelectorLookup lookup(selectors);
    for (const ReferenceWalk::Reference& reference : ReferenceWalk::FindForBuilder(expression)) {
        const QString name = reference.text.trimmed();
        int wordId = 0;
        if (reference.kind == ReferenceWalk::Reference::Kind::Control) {
            if (name.isEmpty() || !decisions.Exists(name))
                wordId = controlWordId;
        } else if (lookup.Check(name) != SelectorLookup::Result::Found) {
            wordId = selectorWordId;
        }
        if (wordId != 0)
            return {false, name, LoadResString(wordId) + name + LoadResString(doesNotExistId),
                    LoadResString(errorTitleId)};
    }
    return {};
}
