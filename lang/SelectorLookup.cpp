#include "lang/SelectorLookup.h"

#include "lang/ExpressionParser.h"

#include <QRegularExpression>

namespace {

std::optional<QSet<QString>> upperSet(const std::optional<QStringList>& names)
{
    if (!names)
        return std::nullopt;
    QSet<QString> set;
    set.reserve(names->size());
    for (const QString& name : *names)
        set.insert(name.trimmed().toUpper());
    return set;
}

bool lacks(const std::optional<QSet<QString>>& names, const QString& name)
{
    return !name.isEmpty() && names && !names->contains(name.toUpper());
}

} // namespace

SelectorLookup::Result SelectorLookup::Check(const QString& reference) const
{
    const SelectorReference parts = Split(reference);
    const Names& names = namesOf(parts.selector);
    if (!names.exists)
        return Result::UnknownSelector;
    if (lacks(names.properties, parts.property))
        return Result::UnknownProperty;
    if (lacks(names.items, parts.item))
        return Result::UnknownItem;
    return Result::Found;
}

QStringList SelectorLookup::MissingProperties(const QString& selector, const QStringList& expressions) const
{
    QStringList missing;
    const Names& names = namesOf(selector.trimmed());
    if (!names.exists || !names.properties)
        return missing;
    for (const QString& expression : expressions) {
        const ExpressionParseResult parsed = ExpressionParser::parse(expression);
        if (!parsed.ok())
            continue;
        parsed.root->visit([&](const ExpressionNode& node) {
            const QString property = node.text().trimmed();
            if (node.kind() == ExpressionKind::Property && lacks(names.properties, property)
                && !missing.contains(property, Qt::CaseInsensitive))
                missing.append(property);
        });
    }
    return missing;
}

SelectorReference SelectorLookup::Split(const QString& reference)
{
    static const QRegularExpression separator(QStringLiteral("[:;]"));
    const QStringList parts = reference.split(separator);
    return {parts.value(0).trimmed(), parts.value(1).trimmed(), parts.value(2).trimmed()};
}

const SelectorLookup::Names& SelectorLookup::namesOf(const QString& selector) const
{
    const QString key = selector.toUpper();
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return *cached;
    Names names;
    names.exists = !selector.isEmpty() && m_catalog.Exists(selector);
    if (names.exists) {
        names.properties = upperSet(m_catalog.Properties(selector));
        names.items = upperSet(m_catalog.Items(selector));
    }
    return *m_cache.insert(key, names);
}
