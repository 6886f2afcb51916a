#include "app/DesignerHelp.h"

#include "app/ManualPage.h"
#include "base/ResourceStrings.h"

#include <QTextStream>

namespace DesignerHelp {

namespace {

constexpr int UsageId = 36143;
constexpr int SummaryId = 36144;
constexpr int DescriptionId = 36145;
constexpr int SeeAlsoId = 36149;
constexpr int UsageHeadId = 36500;
constexpr int VersionId = 36501;
constexpr int WrongArgumentsId = 36502;

constexpr int Success = 0;
constexpr int UsageError = 2;

bool isHelp(const QString& arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

void writeUsage(QTextStream& out)
{
    out << LoadResString(UsageHeadId) << '\n';
    for (const QString& line : LoadResString(UsageId).split(QLatin1Char('\n')))
        out << "  " << line << '\n';
    out << '\n' << LoadResString(DescriptionId) << '\n';
}

} // namespace

bool IsRequest(const QStringList& args)
{
    return !args.isEmpty() && (isHelp(args.first()) || args.first() == QLatin1String("--version"));
}

int Answer(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() == 1 && isHelp(args.first())) {
        writeUsage(out);
        return Success;
    }
    if (args.size() == 2 && isHelp(args.first()) && args.at(1) == QLatin1String("man")) {
        WriteManual(out);
        return Success;
    }
    if (args == QStringList{QStringLiteral("--version")}) {
        out << LoadResString(VersionId).arg(QStringLiteral(KV_VERSION_STRING)) << '\n';
        return Success;
    }
    err << LoadResString(WrongArgumentsId) << '\n';
    writeUsage(err);
    return UsageError;
}

void WriteManual(QTextStream& out)
{
    ManualPage::writeHead(out, QStringLiteral("kestrova-designer"), LoadResString(SummaryId));
    out << ".SH SYNOPSIS\n.nf\n" << ManualPage::roff(LoadResString(UsageId)) << "\n.fi\n"
        << ".SH DESCRIPTION\n" << ManualPage::roff(LoadResString(DescriptionId)) << '\n'
        << ".SH SEE ALSO\n" << ManualPage::roff(LoadResString(SeeAlsoId).arg(QStringLiteral("kestrova"))) << '\n';
}

} // namespace DesignerHelp
