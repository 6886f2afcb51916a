#include "edit/OptionBlockCheck.h"

#include "base/ResourceStrings.h"
#include "lang/ActionStatement.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionParser.h"
#include "lang/ISelectorCatalog.h"
#include "lang/MTreeViewUtil.h"
#include "lang/ReferenceWalk.h"
#include "lang/SelectorLookup.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"

#include <QRegularExpression>

#include <optional>
#include <vector>

namespace {

using BlockLine::Keyword;
using OptionBlockCheck::Finding;
using Shape = ActionStatement::Shape;

constexpr int invalidControlId = 12504;
constexpr int invalidSelectorId = 12505;
constexpr int invalidPropertyId = 12506;
constexpr int invalidItemId = 12507;
constexpr int invalidExpressionId = 12533;
constexpr int noPropertyId = 32513;

constexpr int noMarkerId = 33600;
constexpr int textBeforeMarkerId = 33601;
constexpr int helpBeforeOptionId = 33602;
constexpr int fixedOptionsId = 33603;
constexpr int noOptionsId = 33604;
constexpr int rangesOnlyId = 33605;
constexpr int unknownKeywordId = 33606;
constexpr int capitalsId = 33607;
constexpr int needsControlId = 33608;
constexpr int needsControlValueId = 33609;
constexpr int needsSelectorExpressionId = 33610;
constexpr int needsExpressionId = 33611;
constexpr int takesNothingId = 33612;
constexpr int onOrOffId = 33613;
constexpr int needsTextId = 33614;
constexpr int withoutIfId = 33615;
constexpr int afterElseId = 33616;
constexpr int secondElseId = 33617;
constexpr int noEndIfId = 33618;
constexpr int notASelectorId = 33628;

struct Statement {
    int line;
    QString text;
};

struct OpenBlock {
    int line;
    bool sawElse = false;
};

class Checker {
public:
    Checker(qint16 type, const OptionBlockCheck::Names& names) : m_type(type), m_names(names) {}

    void leftOut(int line, int messageId) { add(line, false, LoadResString(messageId)); }

    void check(const Statement& statement)
    {
        switch (BlockLine::KindOf(statement.text)) {
        case BlockLine::Kind::Option:
            closeBlocks();
            m_sawOption = true;
            checkOption(statement);
            break;
        case BlockLine::Kind::Action: checkAction(statement); break;
        case BlockLine::Kind::Help:
            if (!m_sawOption)
                leftOut(statement.line, helpBeforeOptionId);
            break;
        case BlockLine::Kind::Ignored:
            if (!statement.text.trimmed().isEmpty())
                leftOut(statement.line, noMarkerId);
            break;
        }
    }

    QList<Finding> finish()
    {
        closeBlocks();
        std::stable_sort(m_findings.begin(), m_findings.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        return m_findings;
    }

private:
    void add(int line, bool isError, const QString& message) { m_findings.append({line, isError, message}); }

    void closeBlocks()
    {
        for (const OpenBlock& block : m_blocks)
            add(block.line, true, LoadResString(noEndIfId));
        m_blocks.clear();
    }

    void checkOption(const Statement& statement)
    {
        using namespace MDecisionDataUtil;
        const QString option = BlockLine::Body(statement.text);
        if (OptionAllowed(m_type, option)) {
            // A list filled from selectors names one selector an option.
            if ((m_type == dList || m_type == dCombo) && m_names.selectors && !m_names.selectors->Exists(option.trimmed()))
                add(statement.line, false, LoadResString(notASelectorId).arg(option, ControlIntToStr(m_type)));
            return;
        }
        const QString typeName = ControlIntToStr(m_type);
        const QStringList fixed = FixedOptions(m_type);
        if (!fixed.isEmpty())
            add(statement.line, true, LoadResString(fixedOptionsId).arg(typeName, fixed.value(0), fixed.value(1)));
        else if (IsNumericInterface(m_type))
            add(statement.line, true, LoadResString(rangesOnlyId).arg(typeName));
        else
            add(statement.line, true, LoadResString(noOptionsId).arg(typeName));
    }

    void checkAction(const Statement& statement)
    {
        const std::optional<ActionStatement::Parts> parts = ActionStatement::Split(statement.text);
        if (!parts) {
            add(statement.line, true, LoadResString(unknownKeywordId));
            return;
        }
        const QString marked = BlockLine::MarkedKeyword(parts->keyword);
        checkStructure(statement, parts->keyword, marked);
        const QString argument = BlockLine::ActionArgument(statement.text).trimmed();
        switch (ActionStatement::ShapeOf(parts->keyword)) {
        case Shape::Bare:
            if (!argument.isEmpty())
                add(statement.line, false, LoadResString(takesNothingId).arg(marked));
            break;
        case Shape::Control:
            if (parts->target.isEmpty())
                add(statement.line, true, LoadResString(needsControlId).arg(marked));
            else
                checkControl(statement.line, parts->target, true);
            break;
        case Shape::ControlValue: checkControlValue(statement, *parts, marked); break;
        case Shape::SelectorExpression: checkSelectorExpression(statement, *parts, marked); break;
        case Shape::Expression:
            if (parts->value.isEmpty())
                add(statement.line, true, LoadResString(needsExpressionId).arg(marked));
            else
                checkExpression(statement.line, parts->value);
            break;
        case Shape::Switch:
            if (parts->value.compare(QLatin1String("On"), Qt::CaseInsensitive) != 0
                && parts->value.compare(QLatin1String("Off"), Qt::CaseInsensitive) != 0)
                add(statement.line, false, LoadResString(onOrOffId).arg(marked));
            break;
        case Shape::Text:
            if (parts->value.isEmpty())
                add(statement.line, false, LoadResString(needsTextId).arg(marked));
            break;
        }
    }

    // The blocks as the runtimes read them (any letter case); the tree needs capitals.
    void checkStructure(const Statement& statement, Keyword keyword, const QString& marked)
    {
        const bool opens = keyword == Keyword::If;
        const bool continues = keyword == Keyword::ElseIf || keyword == Keyword::Else;
        if (!opens && !continues && keyword != Keyword::EndIf)
            return;
        if (!BlockLine::IsKeywordAsWritten(statement.text, keyword))
            add(statement.line, false, LoadResString(capitalsId).arg(marked));
        if (opens) {
            m_blocks.push_back({statement.line});
            return;
        }
        if (m_blocks.empty()) {
            add(statement.line, true, LoadResString(withoutIfId).arg(marked));
            return;
        }
        OpenBlock& block = m_blocks.back();
        if (keyword == Keyword::EndIf)
            m_blocks.pop_back();
        else if (block.sawElse)
            add(statement.line, true, LoadResString(keyword == Keyword::Else ? secondElseId : afterElseId));
        else if (keyword == Keyword::Else)
            block.sawElse = true;
    }

    void checkControlValue(const Statement& statement, const ActionStatement::Parts& parts, const QString& marked)
    {
        const QString argument = BlockLine::ActionArgument(statement.text);
        if (parts.target.isEmpty() || !argument.contains(QLatin1Char('=')) || parts.value.isEmpty()) {
            add(statement.line, true, LoadResString(needsControlValueId).arg(marked));
            return;
        }
        checkControl(statement.line, parts.target, false);
        const bool quoted = parts.value.size() >= 2 && parts.value.startsWith(QLatin1Char('"'))
                            && parts.value.endsWith(QLatin1Char('"'));
        if (!quoted)
            checkExpression(statement.line, parts.value);
    }

    void checkSelectorExpression(const Statement& statement, const ActionStatement::Parts& parts, const QString& marked)
    {
        const QString argument = BlockLine::ActionArgument(statement.text);
        if (parts.target.isEmpty() || !argument.contains(QLatin1Char(':')) || parts.value.isEmpty()) {
            add(statement.line, true, LoadResString(needsSelectorExpressionId).arg(marked));
            return;
        }
        checkSelector(statement.line, parts.target);
        const QStringList expressions = parts.keyword == Keyword::Sort
                                            ? parts.value.section(QLatin1Char(';'), 0, 0).split(QLatin1Char(','))
                                            : QStringList{parts.value};
        for (const QString& expression : expressions)
            checkExpression(statement.line, expression);
        if (m_lookup) {
            for (const QString& property : m_lookup->MissingProperties(parts.target, expressions))
                add(statement.line, true, LoadResString(noPropertyId).arg(parts.target.trimmed(), property));
        }
    }

    void checkExpression(int line, const QString& expression)
    {
        const ExpressionParseResult result = ExpressionParser::parse(expression);
        if (!result.ok()) {
            add(line, true, LoadResString(invalidExpressionId) + QStringLiteral(": ") + result.message);
            return;
        }
        for (const ReferenceWalk::Reference& reference : ReferenceWalk::Find(expression)) {
            if (reference.kind == ReferenceWalk::Reference::Kind::Control)
                checkControl(line, reference.text.trimmed(), false);
            else
                checkSelector(line, reference.text);
        }
    }

    void checkControl(int line, const QString& name, bool goTarget)
    {
        if (!m_names.decisions)
            return;
        if (goTarget && name.compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0)
            return;
        if (!m_names.decisions->Exists(name))
            add(line, true, LoadResString(invalidControlId) + name);
    }

    void checkSelector(int line, const QString& reference)
    {
        if (!m_names.selectors)
            return;
        if (!m_lookup)
            m_lookup.emplace(*m_names.selectors);
        int messageId = 0;
        switch (m_lookup->Check(reference)) {
        case SelectorLookup::Result::Found: return;
        case SelectorLookup::Result::UnknownSelector: messageId = invalidSelectorId; break;
        case SelectorLookup::Result::UnknownProperty: messageId = invalidPropertyId; break;
        case SelectorLookup::Result::UnknownItem: messageId = invalidItemId; break;
        }
        add(line, true, LoadResString(messageId) + reference.trimmed());
    }

    qint16 m_type;
    OptionBlockCheck::Names m_names;
    std::optional<SelectorLookup> m_lookup;
    std::vector<OpenBlock> m_blocks;
    bool m_sawOption = false;
    QList<Finding> m_findings;
};

} // namespace

QList<Finding> OptionBlockCheck::CheckLines(const QStringList& lines, qint16 type, const Names& names)
{
    Checker checker(type, names);
    for (int i = 0; i < lines.size(); ++i)
        checker.check({i, lines.at(i)});
    return checker.finish();
}

QList<Finding> OptionBlockCheck::CheckText(const QString& text, qint16 type, const Names& names)
{
    Checker checker(type, names);
    const QStringList statements = MTreeViewUtil::AdvancedStatements(text);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    const QStringList pieces = text.split(lineEnd);
    for (int i = 0; i < statements.size(); ++i) {
        const QString& statement = statements.at(i);
        const QString& piece = pieces.at(i);
        if (statement.isEmpty()) {
            checker.check({i, piece});
            continue;
        }
        if (!piece.left(piece.size() - statement.size()).trimmed().isEmpty())
            checker.leftOut(i, textBeforeMarkerId);
        checker.check({i, statement});
    }
    return checker.finish();
}
