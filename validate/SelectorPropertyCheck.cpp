#include "validate/SelectorPropertyCheck.h"

#include "base/ResourceStrings.h"
#include "lang/ExpressionNode.h"
#include "lang/ExpressionParser.h"
#include "lang/ISelectorCatalog.h"
#include "validate/IValidationLog.h"

namespace {

constexpr int NoPropertyId = 32513;
constexpr int BlankHeaderId = 36160;

} // namespace

const std::optional<SelectorPropertyCheck::Header>& SelectorPropertyCheck::headerOf(const QString& name)
{
    const auto cached = m_headers.constFind(name);
    if (cached != m_headers.constEnd())
        return cached.value();
    std::optional<Header> header;
    if (m_catalog.Exists(name)) {
        if (const std::optional<QStringList> properties = m_catalog.Properties(name)) {
            header.emplace();
            for (qsizetype column = 0; column < properties->size(); ++column) {
                const QString property = properties->at(column).trimmed();
                if (property.isEmpty())
                    header->blankColumns.append(static_cast<int>(column) + 1);
                else
                    header->known.insert(property.toCaseFolded());
            }
        }
    }
    return m_headers.insert(name, std::move(header)).value();
}

bool SelectorPropertyCheck::IsExternal(const QString& selector)
{
    const QString name = selector.trimmed();
    return !name.isEmpty() && !headerOf(name).has_value() && m_catalog.Exists(name);
}

void SelectorPropertyCheck::Check(const QString& location, const QString& selector, const QStringList& expressions)
{
    const QString name = selector.trimmed();
    if (name.isEmpty())
        return;
    const std::optional<Header>& header = headerOf(name);
    if (!header)
        return;
    if (!m_headersChecked.contains(name.toCaseFolded())) {
        for (const int column : header->blankColumns)
            m_log.AppendToLog(true, LoadResString(BlankHeaderId).arg(name).arg(column), location);
        m_headersChecked.insert(name.toCaseFolded());
    }
    const QSet<QString>& known = header->known;
    QSet<QString> reported;
    for (const QString& expression : expressions) {
        const ExpressionParseResult parsed = ExpressionParser::parse(expression);
        if (!parsed.ok())
            continue; // the expression check reports it
        parsed.root->visit([&](const ExpressionNode& node) {
            if (node.kind() != ExpressionKind::Property)
                return;
            const QString property = node.text().trimmed();
            if (known.contains(property.toCaseFolded()) || reported.contains(property.toCaseFolded()))
                return;
            reported.insert(property.toCaseFolded());
            m_log.AppendToLog(true, LoadResString(NoPropertyId).arg(name, property), location);
        });
    }
}
