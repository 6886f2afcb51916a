#include "common/DocumentEdits.h"

#include "model/CmDecisionItem.h"
#include "persist/ContentSeal.h"
#include "persist/DecisionRecord.h"
#include "persist/PropertyBag.h"
#include "persist/ProjectNodes.h"
#include "persist/SqliteDatabase.h"
#include "persist/StorageDocument.h"

#include <QFile>
#include <QJsonDocument>

#include <sqlite3.h>

#include <memory>

namespace {
struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
// A control's bag as the program writes one, for a bag of the older form.
QJsonObject bagOf(const DecisionRecord& record)
{
    CmDecisionItem item;
    if (!item.ReadRecord(record))
        return {};
    PropertyBag bag;
    bag.WriteRoot(item);
    return QJsonDocument::fromJson(bag.ToText().toUtf8()).object();
}

// Moves the rows of the decision table into the manager's bag.
bool moveDecisionsIntoTree(StorageDocument& document, QJsonObject& root)
{
    QJsonObject model = root.value(QStringLiteral("props")).toObject().value(QStringLiteral("Model")).toObject();
    QJsonObject manager = model.value(QStringLiteral("props")).toObject().value(QStringLiteral("DecisionManager")).toObject();
    QJsonObject props = manager.value(QStringLiteral("props")).toObject();
    if (!props.contains(QStringLiteral("DecisionTable")))
        return true;
    std::vector<DecisionRecord> records;
    if (!document.decisions().readAll(records) || !document.decisions().replaceAll({}))
        return false;
    props.remove(QStringLiteral("DecisionTable"));
    for (const DecisionRecord& record : records) {
        const QString position = QString::number(record.position);
        props.insert(QStringLiteral("Key") + position, record.strIdentifier);
        props.insert(QStringLiteral("Decision") + position, bagOf(record));
    }
    manager.insert(QStringLiteral("props"), props);
    DocumentEdits::setBagProperty(root, {QStringLiteral("Model")}, QStringLiteral("DecisionManager"), manager);
    return true;
}

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
    if (!moveDecisionsIntoTree(document, root))
        return false;
    change(root);
    return node.writeText(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact))) && document.save();
}

bool DocumentEdits::reseal(const QString& filePath)
{
    QString checksum;
    try {
        const std::unique_ptr<SqliteDatabase> db = SqliteDatabase::openReadOnly(filePath);
        checksum = ContentSeal::compute(*db);
    } catch (...) {
        return false;
    }
    return execSql(filePath, QStringLiteral("DELETE FROM seal; INSERT INTO seal(checksum) VALUES('%1')").arg(checksum))
        .isEmpty();
}

QString DocumentEdits::editSql(const QString& filePath, const QString& sql)
{
    const QString problem = execSql(filePath, sql);
    if (!problem.isEmpty())
        return problem;
    return reseal(filePath) ? QString() : QStringLiteral("the checksum could not be written");
}
