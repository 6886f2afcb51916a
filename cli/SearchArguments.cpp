#include "cli/SearchArguments.h"

#include "base/ResourceStrings.h"

namespace {

constexpr int WrongArgumentsId = 32753;
constexpr int UnknownAreaId = 32754;
constexpr int UnknownOptionId = 32313;

// "-x" or "--word"; a lone "-" or a negative number is a text to look for.
bool looksLikeOption(const QString& arg)
{
    return arg.size() > 1 && arg.front() == QLatin1Char('-') && !arg.at(1).isDigit();
}

} // namespace

bool SearchArguments::Parse(const QStringList& args, int texts)
{
    m_request = SearchRequest();
    m_request.area = SearchRequest::Everything;
    QStringList plain;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded) {
            plain.append(arg);
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--whole-word")) {
            m_request.options.wholeWord = true;
        } else if (arg == QLatin1String("--match-case")) {
            m_request.options.matchCase = true;
        } else if (arg == QLatin1String("--area")) {
            if (i + 1 == args.size()) {
                m_error = LoadResString(WrongArgumentsId);
                return false;
            }
            const QString area = args.at(++i);
            if (area == QLatin1String("tree")) {
                m_request.area = SearchRequest::DecisionTree;
            } else if (area == QLatin1String("selectors")) {
                m_request.area = SearchRequest::AllSelectors;
            } else if (area == QLatin1String("both")) {
                m_request.area = SearchRequest::Everything;
            } else {
                m_error = LoadResString(UnknownAreaId).arg(area);
                return false;
            }
        } else if (looksLikeOption(arg)) {
            m_error = LoadResString(UnknownOptionId).arg(arg);
            return false;
        } else {
            plain.append(arg);
        }
    }
    if (plain.size() != texts + 1 || plain.at(1).isEmpty()) {
        m_error = LoadResString(WrongArgumentsId);
        return false;
    }
    m_project = plain.at(0);
    m_request.text = plain.at(1);
    if (texts > 1)
        m_request.replacement = plain.at(2);
    return true;
}
