#include "lang/MCompileUtil.h"

#include "base/StringId.h"
#include "base/ResourceStrings.h"
#include "lang/Tokenizer.h"
#include "base/ProcedureBoundary.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr int AscendingId = 11101;
constexpr int DescendingId = 11102;

struct WordChange {
    QString from;
    QString to;
};

// Rewrites the words after the first ";" that match one of the changes, without regard to case.
QString replaceOrderWords(const QString& argument, const std::initializer_list<WordChange>& changes)
{
    Tokenizer words;
    words.setKeepDelimiters(true);
    words.setDelimiters(QStringLiteral(" :;,"));
    words.setText(argument);
    QString result;
    result.reserve(argument.size());
    bool inOrders = false;
    for (int i = 1; i <= words.Count(); ++i) {
        const QString word = words.Token(i);
        const auto change = std::find_if(changes.begin(), changes.end(), [&](const WordChange& candidate) {
            return candidate.from.compare(word, Qt::CaseInsensitive) == 0;
        });
        result += inOrders && change != changes.end() ? change->to : word;
        inOrders = inOrders || word == QLatin1String(";");
    }
    return result;
}

} // namespace

QString MCompileUtil::ConvertSortExpr(const QString& argument)
{
    return ProcedureBoundary::runOr("MCompileUtil.ConvertSortExpr", argument, [&] {
        const QString yes = LoadResString(StringId::TrueText);
        const QString no = LoadResString(StringId::FalseText);
        // An order already written as a flag gets the flag's own spelling, so that storing what
        // was read gives the same record.
        return replaceOrderWords(argument, {{LoadResString(AscendingId), no}, {LoadResString(DescendingId), yes},
                                            {no, no}, {yes, yes}});
    });
}

QString MCompileUtil::RestoreSortExpr(const QString& argument)
{
    return ProcedureBoundary::runOr("MCompileUtil.RestoreSortExpr", argument, [&] {
        return replaceOrderWords(argument, {{LoadResString(StringId::FalseText), LoadResString(AscendingId)},
                                            {LoadResString(StringId::TrueText), LoadResString(DescendingId)}});
    });
}
