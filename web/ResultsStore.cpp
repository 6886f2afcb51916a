#include "web/ResultsStore.h"

#include "web/SqliteResultsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <algorithm>

std::unique_ptr<ResultsStore> ResultsStore::open(const QString& path, QString& error)
{
    return SqliteResultsStore::open(path, error);
}

std::unique_ptr<ResultsStore> ResultsStore::openForReading(const QString& path, QString& error)
{
    return SqliteResultsStore::openForReading(path, error);
}

QList<ResultsStore::ItemCount> ResultsStore::countItems(const QList<std::pair<QString, QString>>& ends)
{
    QMap<std::pair<QString, QString>, QList<std::pair<QString, qint64>>> counted; // (tree, selector) -> items
    for (const auto& [endTree, values] : ends) {
        const QJsonObject items = QJsonDocument::fromJson(values.toUtf8()).object().value(QStringLiteral("items")).toObject();
        for (auto selector = items.begin(); selector != items.end(); ++selector) {
            auto& list = counted[{endTree, selector.key()}];
            for (const QJsonValue& item : selector.value().toArray()) {
                const QString name = item.toString();
                auto found = std::find_if(list.begin(), list.end(), [&name](const auto& entry) { return entry.first == name; });
                if (found == list.end())
                    list.append({name, 1});
                else
                    ++found->second;
            }
        }
    }
    QList<ItemCount> result;
    for (auto selector = counted.begin(); selector != counted.end(); ++selector) {
        QList<std::pair<QString, qint64>> list = selector.value();
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
        for (const auto& [item, runs] : list)
            result.append({selector.key().first, selector.key().second, item, runs});
    }
    return result;
}
