#include "common/DocumentEdits.h"
#include "common/TestRegistry.h"
#include "persist/DecisionTable.h"
#include "persist/StorageDocument.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Every field with the kind of the default, so that a value read back as another kind differs.
QString described(const DecisionRecord& record)
{
    const QVariant& value = record.defaultValue;
    const QString kind = value.isValid() ? QString::fromLatin1(value.typeName()) : QStringLiteral("empty");
    return QStringList{QString::number(record.position), QString::number(record.intIdentifier), record.strIdentifier,
                       QString::number(record.intControl), record.caption, record.heading, record.picture,
                       record.optsAndActs.join(u'|'), QString::number(record.optsAndActs.size()),
                       record.include.join(u'|'), QString::number(record.include.size()), kind + QLatin1Char(':') + value.toString(),
                       record.min, record.max, QString::number(record.kvdHelp), record.kvwHelp,
                       record.dirty ? QStringLiteral("dirty") : QStringLiteral("clean")}
        .join(QLatin1String(" / "));
}

QStringList described(const std::vector<DecisionRecord>& records)
{
    QStringList lines;
    for (const DecisionRecord& record : records)
        lines << described(record);
    return lines;
}

std::vector<DecisionRecord> sampleRecords()
{
    const QList<QVariant> defaults{QVariant(), QVariant(QString()), QVariant(QStringLiteral("007")), QVariant(12),
                                   QVariant(qlonglong(1) << 40), QVariant(2.5)};
    std::vector<DecisionRecord> records;
    for (int i = 0; i < defaults.size(); ++i) {
        DecisionRecord& record = records.emplace_back();
        record.position = i * 2 + 1; // a gap where an older project's pseudo control was
        record.intIdentifier = i + 1;
        record.strIdentifier = i == 3 ? QString() : QStringLiteral("Step%1").arg(i + 1);
        record.intControl = i;
        record.caption = QStringLiteral("Which one? \u00e9\u4e2d");
        record.heading = QStringLiteral("<B>Bold</B>\r\nsecond line");
        record.picture = i % 2 ? QStringLiteral("front.jpg") : QString();
        record.optsAndActs = {QStringLiteral("^Red"), QStringLiteral("!GO Step%1").arg(i + 2)};
        record.include = i ? QStringList{QStringLiteral("Step1")} : QStringList();
        record.defaultValue = defaults.at(i);
        record.min = QString::number(-i);
        record.max = QStringLiteral("32767");
        record.kvdHelp = i * 3;
        record.kvwHelp = QStringLiteral("help/%1.html").arg(i);
        record.dirty = i % 2 == 0;
    }
    return records;
}

bool saveRecords(const QString& path, const std::vector<DecisionRecord>& records)
{
    StorageDocument document;
    return document.create() && document.decisions().replaceAll(records) && document.saveAs(path);
}

} // namespace

class tst_DecisionTable : public QObject {
    Q_OBJECT

private slots:
    void linesComeBackAsWritten_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("no lines") << QStringList();
        QTest::newRow("one empty line") << QStringList{QString()};
        QTest::newRow("empty lines around one") << QStringList{QString(), QStringLiteral("x"), QString()};
        QTest::newRow("line feed and return inside")
            << QStringList{QStringLiteral("two\nparts"), QStringLiteral("cr\r\nlf")};
        QTest::newRow("backslashes") << QStringList{QStringLiteral("C:\\dir\\"), QStringLiteral("\\n is no line feed"),
                                                    QStringLiteral("\\\\")};
    }
    void linesComeBackAsWritten()
    {
        QFETCH(QStringList, lines);
        const QString text = DecisionTable::joinLines(lines);
        QCOMPARE(DecisionTable::splitLines(text), lines);
        QCOMPARE(text.count(u'\n'), lines.size());
    }

    // A last line without its line feed only a foreign writer leaves; it is read, not lost.
    void aLastLineWithoutItsLineFeedIsKept()
    {
        QCOMPARE(DecisionTable::splitLines(u"a\nb"), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(DecisionTable::splitLines(u"odd \\x escape\n"), QStringList{QStringLiteral("odd \\x escape")});
    }

    void rowsKeepEveryValueAndItsKind()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("rows.kvp"));
        const std::vector<DecisionRecord> written = sampleRecords();
        QVERIFY(saveRecords(path, written));
        StorageDocument document;
        QVERIFY(document.open(path));
        std::vector<DecisionRecord> read;
        QVERIFY(document.decisions().readAll(read));
        QCOMPARE(described(read), described(written));

        // A second write replaces every row.
        QVERIFY(document.decisions().replaceAll({written.at(2)}));
        QVERIFY(document.decisions().readAll(read));
        QCOMPARE(described(read), QStringList{described(written.at(2))});
    }

    // A text where a number belongs can only be forged past the table's types; the open finds it.
    void aForgedKindIsFoundAtOpen()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("forged.kvp"));
        QVERIFY(saveRecords(path, sampleRecords()));
        const QString schema = QStringLiteral("PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = %1 "
                                              "WHERE name = 'decision'");
        QCOMPARE(DocumentEdits::execSql(path, schema.arg(QStringLiteral("replace(sql, ') STRICT', ')')"))), QString());
        QCOMPARE(DocumentEdits::execSql(path, QStringLiteral("UPDATE decision SET intControl = 'seven' WHERE position = 3")),
                 QString());
        QCOMPARE(DocumentEdits::execSql(path, schema.arg(QStringLiteral("sql || ' STRICT'"))), QString());
        QVERIFY(DocumentEdits::reseal(path));

        StorageDocument document;
        const StorageResult opened = document.open(path);
        QCOMPARE(opened.kind, StorageErrorKind::Corrupt);
        QVERIFY2(opened.message.contains(QLatin1String("decision.intControl")), qPrintable(opened.message));
    }

    // The default holds any kind but bytes, which no control has.
    void bytesAsADefaultRefuseTheRead()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("bytes.kvp"));
        QVERIFY(saveRecords(path, sampleRecords()));
        QCOMPARE(DocumentEdits::editSql(path, QStringLiteral("UPDATE decision SET defaultValue = x'00ff' WHERE position = 3")),
                 QString());

        StorageDocument document;
        QVERIFY(document.open(path));
        std::vector<DecisionRecord> read = sampleRecords();
        const StorageResult result = document.decisions().readAll(read);
        QCOMPARE(result.kind, StorageErrorKind::Refused);
        QVERIFY2(result.message.contains(QLatin1String("position 3")) && result.message.contains(QLatin1String("\"defaultValue\"")),
                 qPrintable(result.message));
        QVERIFY(read.empty());
    }
};

KV_REGISTER_TEST(tst_DecisionTable)
#include "tst_DecisionTable.moc"
