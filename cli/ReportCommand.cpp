#include "cli/ReportCommand.h"

#include "base/ResourceStrings.h"
#include "cli/DatabaseOptions.h"
#include "web/ResultsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace {
constexpr int NameId = 35060;
constexpr int SummaryId = 35061;
constexpr int UsageId = 35062;
constexpr int WrongArgumentsId = 35063;

struct ReportArguments {
    QString results;
    QString tree;
    bool json = false;
};

std::optional<ReportArguments> parseArguments(const QStringList& args)
{
    ReportArguments parsed;
    bool formatGiven = false;
    bool treeGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--tree") && i + 1 < args.size() && !treeGiven) {
            parsed.tree = args.at(++i);
            treeGiven = true;
        } else if ((arg == QLatin1String("--format=csv") || arg == QLatin1String("--format=json")) && !formatGiven) {
            parsed.json = arg.endsWith(QLatin1String("json"));
            formatGiven = true;
        } else if (!arg.startsWith(QLatin1String("--")) && parsed.results.isEmpty()) {
            parsed.results = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.results.startsWith(QLatin1String("sqlite:")))
        parsed.results = parsed.results.mid(7);
    if (parsed.results.isEmpty())
        return std::nullopt;
    return parsed;
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
QString csv(const QString& field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n'))
        && !field.contains(QLatin1Char('\r')))
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

void writeCsv(const ResultsStore::Report& report, QTextStream& out)
{
    out << "kind,tree,selector,name,runs,ended\n";
    for (const ResultsStore::PageCount& page : report.pages)
        out << "page," << csv(page.tree) << ",," << csv(page.page) << ',' << page.reached << ',' << page.ended << '\n';
    for (const ResultsStore::ItemCount& item : report.items)
        out << "item," << csv(item.tree) << ',' << csv(item.selector) << ',' << csv(item.item) << ',' << item.runs << ",\n";
}

void writeJson(const ResultsStore::Report& report, QTextStream& out)
{
    QJsonArray pages;
    for (const ResultsStore::PageCount& page : report.pages)
        pages.append(QJsonObject{{QStringLiteral("tree"), page.tree}, {QStringLiteral("page"), page.page},
                                 {QStringLiteral("reached"), page.reached}, {QStringLiteral("ended"), page.ended}});
    QJsonArray items;
    for (const ResultsStore::ItemCount& item : report.items)
        items.append(QJsonObject{{QStringLiteral("tree"), item.tree}, {QStringLiteral("selector"), item.selector},
                                 {QStringLiteral("item"), item.item}, {QStringLiteral("runs"), item.runs}});
    out << QJsonDocument(QJsonObject{{QStringLiteral("pages"), pages}, {QStringLiteral("items"), items}}).toJson(QJsonDocument::Indented);
}
} // namespace

QString ReportCommand::Name() const
{
    return LoadResString(NameId);
}

QString ReportCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString ReportCommand::Usage() const
{
    return LoadResString(UsageId);
}

int ReportCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<ReportArguments> parsed = parseArguments(args);
    if (!parsed)
        return usageError(LoadResString(WrongArgumentsId), err);
    QString problem;
    const std::unique_ptr<ResultsStore> store = DatabaseOptions::openResults(parsed->results, false, problem);
    ResultsStore::Report report;
    if (!store || !store->report(parsed->tree, report, problem)) {
        err << problem << '\n';
        return Failure;
    }
    if (parsed->json)
        writeJson(report, out);
    else
        writeCsv(report, out);
    return Success;
}
