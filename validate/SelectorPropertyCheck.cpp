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

void SelectorPropertyCheck::Check(const QString& location, const QString& selector, const QStringList& expressions)
{
    const QString name = selector.trimmed();
    if (name.isEmpty() || !m_catalog.Exists(name))
        return;
    const std::optional<QStringList> properties = m_catalog.Properties(name);
    if (!properties)
        return;
    QSet<QString> known;
    for (qsizetype column = 0; column < properties->size(); ++column) {
        const QString property = properties->at(column).trimmed();
        if (!property.isEmpty()) {
            known.insert(property.toCaseFolded());
        } else if (!m_headersChecked.contains(name.toCaseFolded())) {
            m_log.AppendToLog(true, LoadResString(BlankHeaderId).arg(name).arg(column + 1), location);
        }
    }
    m_headersChecked.insert(name.toCaseFolded());
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
