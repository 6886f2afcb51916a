#include "ShopSample.h"

#include "SharedCluster.h"
#include "tests/cli/CliRun.h"

#include "persist/CsvTable.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace ShopSample {

QString fields()
{
    return QStringLiteral("Name,Brand,Price,Weight,Screen,Battery,Use,GPU,RAM,Storage,OS,Touch");
}

QString renamed(const QString& sampleText)
{
    return QString(sampleText)
        .replace(QStringLiteral("!KILL laptops:"), QStringLiteral("!KILL shop.laptops:"))
        .replace(QStringLiteral("!SORT laptops:"), QStringLiteral("!SORT shop.laptops:"))
        .replace(QStringLiteral("^laptops\t"), QStringLiteral("^shop.laptops\t"))
        .replace(QStringLiteral("<<laptops"), QStringLiteral("<<shop.laptops"));
}

bool makeSqliteShop(const QString& path)
{
    CsvTable::Rows rows;
    if (!CsvTable::parse(QString::fromUtf8(CliRun::readFile(SharedCluster::laptopsCsv())), rows) || rows.isEmpty())
        return false;
    bool made = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("shop-maker"));
        db.setDatabaseName(path);
        made = db.open();
        QSqlQuery query(db);
        QStringList columns;
        for (const QString& name : rows.first())
            columns.append(QLatin1Char('"') + name + QLatin1String("\" text"));
        made = made && query.exec(QStringLiteral("CREATE TABLE laptops (%1)").arg(columns.join(QLatin1Char(','))));
        const QString marks = QStringList(rows.first().size(), QStringLiteral("?")).join(QLatin1Char(','));
        for (qsizetype r = 1; made && r < rows.size(); ++r) {
            if (rows.at(r).size() != rows.first().size())
                continue;
            made = query.prepare(QStringLiteral("INSERT INTO laptops VALUES (%1)").arg(marks));
            for (const QString& cell : rows.at(r))
                query.addBindValue(cell);
            made = made && query.exec();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("shop-maker"));
    return made;
}

bool makeSqliteProject(const QString& projectPath, QString& error)
{
    const QFileInfo project(projectPath);
    const QString rules = project.dir().filePath(project.completeBaseName() + QStringLiteral(".rules"));
    if (!CliRun::writeFile(rules, renamed(QString::fromUtf8(CliRun::readFile(QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules")))))
        || !makeSqliteShop(project.dir().filePath(QStringLiteral("shop")))) {
        error = QStringLiteral("cannot write beside ") + projectPath;
        return false;
    }
    CliRun::Outcome made = CliRun::run({QStringLiteral("from-rules"), rules, QStringLiteral("-o"), projectPath});
    if (made.code == 0)
        made = CliRun::run({QStringLiteral("selector"), QStringLiteral("external"), projectPath, QStringLiteral("shop.laptops"),
                            QStringLiteral("--driver"), QStringLiteral("sqlite"), QStringLiteral("--fields"), fields()});
    error = made.err;
    return made.code == 0;
}

} // namespace ShopSample
