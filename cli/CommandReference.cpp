#include "cli/CommandReference.h"

#include "app/DesignerHelp.h"
#include "app/ManualPage.h"
#include "base/ResourceStrings.h"
#include "cli/CliCommand.h"

#include <QTextStream>

namespace {

constexpr int UsageHeadId = 32000;
constexpr int OneCommandId = 32001;
constexpr int ProgramSummaryId = 36140;
constexpr int ExitCodesId = 36141;
constexpr int PageTitleId = 36142;
constexpr int DesignerUsageId = 36143;
constexpr int DesignerDescriptionId = 36145;
constexpr int DesignerSectionId = 36146;
constexpr int ProgramSectionId = 36147;
constexpr int CommandColumnId = 36148;
constexpr int SeeAlsoId = 36149;
constexpr int ProgramNameLineId = 36151;
constexpr int WhatItDoesId = 36152;

QString html(const QString& text)
{
    return text.toHtmlEscaped();
}

using ManualPage::roff;

} // namespace

bool CommandReference::FormatNamed(const QString& word, Format& format)
{
    if (word == QLatin1String("text"))
        format = Format::Text;
    else if (word == QLatin1String("html"))
        format = Format::Html;
    else if (word == QLatin1String("man"))
        format = Format::Manual;
    else
        return false;
    return true;
}

void CommandReference::write(Format format, QTextStream& out) const
{
    switch (format) {
    case Format::Text:
        writeText(out);
        break;
    case Format::Html:
        writeHtml(out);
        break;
    case Format::Manual:
        writeManual(out);
        break;
    }
}

void CommandReference::writeText(QTextStream& out) const
{
    out << LoadResString(UsageHeadId) << '\n';
    for (const CliCommand* command : m_commands)
        out << "  " << command->Name().leftJustified(14) << command->Summary() << '\n';
    out << '\n' << LoadResString(OneCommandId) << '\n';
}

void CommandReference::writeHtml(QTextStream& out) const
{
    const QString title = LoadResString(PageTitleId);
    out << "<!DOCTYPE html>\n"
        << "<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" << html(title)
        << "</title><link rel=\"stylesheet\" href=\"style.css\"></head>\n<body>\n"
        << "<nav><a href=\"index.html\">Contents</a> · <a href=\"keywords.html\">Index</a></nav>\n"
        << "<h1>" << html(title) << "</h1>\n"
        << "<h2>" << html(LoadResString(DesignerSectionId)) << "</h2>\n"
        << "<pre>" << html(LoadResString(DesignerUsageId)) << "</pre>\n"
        << "<p>" << html(LoadResString(DesignerDescriptionId)) << "</p>\n"
        << "<h2>" << html(LoadResString(ProgramSectionId)) << "</h2>\n"
        << "<p>" << html(LoadResString(ProgramSummaryId)) << ' ' << html(LoadResString(ExitCodesId)) << "</p>\n"
        << "<pre>" << html(LoadResString(UsageHeadId).section(QLatin1String("\n\n"), 0, 0)) << "</pre>\n"
        << "<table>\n<tr><th>" << html(LoadResString(CommandColumnId)) << "</th><th>" << html(LoadResString(WhatItDoesId)) << "</th></tr>\n";
    for (const CliCommand* command : m_commands)
        out << "<tr><td><a href=\"#" << html(command->Name()) << "\"><code>" << html(command->Name())
            << "</code></a></td><td>" << html(command->Summary()) << "</td></tr>\n";
    out << "</table>\n";
    for (const CliCommand* command : m_commands) {
        out << "<h3 id=\"" << html(command->Name()) << "\"><code>kestrova " << html(command->Name()) << "</code></h3>\n"
            << "<p>" << html(command->Summary()) << "</p>\n"
            << "<pre>" << html(command->Usage()) << "</pre>\n";
    }
    out << "</body></html>\n";
}

void CommandReference::writeManual(QTextStream& out) const
{
    ManualPage::writeHead(out, QStringLiteral("kestrova"), LoadResString(ProgramNameLineId));
    out << ".SH SYNOPSIS\n.nf\n" << roff(LoadResString(UsageHeadId).section(QLatin1String("\n\n"), 0, 0)) << "\n.fi\n"
        << ".SH DESCRIPTION\n" << roff(LoadResString(ProgramSummaryId)) << '\n'
        << ".SH COMMANDS\n";
    for (const CliCommand* command : m_commands) {
        out << ".SS " << roff(command->Name()) << '\n' << roff(command->Summary()) << "\n.PP\n.nf\n"
            << roff(command->Usage()) << "\n.fi\n";
    }
    out << ".SH EXIT STATUS\n" << roff(LoadResString(ExitCodesId)) << '\n'
        << ".SH SEE ALSO\n" << roff(LoadResString(SeeAlsoId).arg(QStringLiteral("kestrova-designer"))) << '\n';
}

void CommandReference::writeDesignerManual(QTextStream& out)
{
    DesignerHelp::WriteManual(out);
}
