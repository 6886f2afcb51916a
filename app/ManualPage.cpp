#include "app/ManualPage.h"

#include "base/ResourceStrings.h"

#include <QStringList>
#include <QTextStream>

namespace ManualPage {

namespace {
constexpr int ProductNameId = 30000;
} // namespace

QString roff(const QString& text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line.replace(QLatin1Char('\\'), QLatin1String("\\e"));
        line.replace(QLatin1Char('-'), QLatin1String("\\-"));
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QLatin1String("\\&"));
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

void writeHead(QTextStream& out, const QString& name, const QString& summary)
{
    out << ".TH " << name.toUpper() << " 1 \"\" \"" << KV_VERSION_STRING << "\" \"" << LoadResString(ProductNameId) << "\"\n"
        << ".SH NAME\n"
        << roff(name) << " \\- " << roff(summary) << '\n';
}

} // namespace ManualPage
