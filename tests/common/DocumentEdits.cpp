#include "common/DocumentEdits.h"

#include "persist/ProjectNodes.h"
#include "persist/StorageDocument.h"

#include <QFile>
#include <QJsonDocument>

#include <sqlite3.h>

#include <memory>

namespace {
struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
} // namespace

QString DocumentEdits::execSql(const QString& filePath, const QString& sql)
{
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open(QFile::encodeName(filePath).constData(), &raw);
    const std::unique_ptr<sqlite3, SqliteCloser> db(raw);
    if (opened != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(raw));
    if (sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(raw));
    return QString();
}

void DocumentEdits::setBagProperty(QJsonObject& bag, const QStringList& path, const QString& name, const QJsonValue& value)
{
    const QString propsKey = QStringLiteral("props");
    QJsonObject props = bag.value(propsKey).toObject();
    if (path.isEmpty()) {
        props.insert(name, value);
    } else {
        QJsonObject nested = props.value(path.first()).toObject();
        setBagProperty(nested, path.mid(1), name, value);
        props.insert(path.first(), nested);
    }
    bag.insert(propsKey, props);
}

bool DocumentEdits::editModel(const QString& projectPath, const std::function<void(QJsonObject& root)>& change)
{
    StorageDocument document;
    if (!document.open(projectPath))
        return false;
    StorageNode node = document.rootNode();
    QString text;
    if (!node.open(ProjectNodes::DevFile) || !node.readText(text))
        return false;
    QJsonObject root = QJsonDocument::fromJson(text.toUtf8()).object();
    change(root);
    return node.writeText(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact))) && document.save();
}
