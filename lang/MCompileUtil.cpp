#include "lang/MCompileUtil.h"

#include "base/ResourceStrings.h"
#include "lang/Tokenizer.h"
#include "base/ProcedureBoundary.h"

namespace {

constexpr int AscendingId = 11101;
constexpr int DescendingId = 11102;
constexpr int TrueId = 13016;
constexpr int FalseId = 13017;

// Rewrites the words after the first ";" that match one of the two given words.
QString replaceOrderWords(const QString& argument, const QString& first, const QString& firstBecomes,
                          const QString& second, const QString& secondBecomes)
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
        if (inOrders && word.compare(first, Qt::CaseInsensitive) == 0)
            result += firstBecomes;
        else if (inOrders && word.compare(second, Qt::CaseInsensitive) == 0)
            result += secondBecomes;
        else
            result += word;
        inOrders = inOrders || word == QLatin1String(";");
    }
    return result;
}

} // namespace

QString MCompileUtil::ConvertSortExpr(const QString& argument)
{
    return ProcedureBoundary::runOr("MCompileUtil.ConvertSortExpr", argument, [&] {
        return replaceOrderWords(argument, LoadResString(AscendingId), LoadResString(FalseId),
                                 LoadResString(DescendingId), LoadResString(TrueId));
    });
}

QString MCompileUtil::RestoreSortExpr(const QString& argument)
{
    return ProcedureBoundary::runOr("MCompileUtil.RestoreSortExpr", argument, [&] {
        return replaceOrderWords(argument, LoadResString(FalseId), LoadResString(AscendingId),
                                 LoadResString(TrueId), LoadResString(DescendingId));
    });
}
