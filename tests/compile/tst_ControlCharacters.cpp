#include "common/CollectedErrors.h"
#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "compile/KvwLines.h"
#include "model/CmDecisionItem.h"
#include "validate/ControlCharacters.h"
#include "validate/IValidationLog.h"

#include <QTest>

// A control character in what a run shows is reported by validation, naming the field and the
// character: the web tree cannot hold it, so the web compiler leaves it out, and only the finding
// keeps that from being silent.
using Log = CollectedErrors;

class TestControlCharacters : public QObject {
    Q_OBJECT

private slots:
    void eachFieldIsChecked_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString found = LoadResString(33228);
        QTest::newRow("clean caption") << "caption" << "A\tB\r\nC" << QString();
        QTest::newRow("caption") << "caption" << QStringLiteral("A\u0001B") << "Start.Control Caption: " + found.arg("U+0001");
        QTest::newRow("page header") << "header" << QStringLiteral("\u001Fx") << "Start.Page Header: " + found.arg("U+001F");
        QTest::newRow("option") << "option" << QStringLiteral("^A\u0001B") << "Start.Options and Actions: " + found.arg("U+0001");
        QTest::newRow("default value") << "default" << QStringLiteral("x\u0007") << "Start.Default Value: " + found.arg("U+0007");
        QTest::newRow("DEL is shown") << "caption" << QStringLiteral("A\u007FB") << QString();
    }
    void eachFieldIsChecked()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        CmDecisionItem decision;
        decision.setIntID(1);
        decision.setStrID(QStringLiteral("Start"));
        if (field == QLatin1String("caption"))
            decision.setCaption(text);
        else if (field == QLatin1String("header"))
            decision.setHeading(text);
        else if (field == QLatin1String("option"))
            decision.setOptsAndActs({QStringLiteral("^Yes"), text});
        else
            decision.setDefaultValue(text);
        Log log;
        ControlCharacters::Check(decision, log);
        QCOMPARE(log.errors, expected.isEmpty() ? QStringList() : QStringList{expected});
        // What the finding warns of: the web tree's text cannot keep the character.
        if (!expected.isEmpty())
            QVERIFY(!ControlCharacters::FindIn(KvwLines::EscapeText(text)));
    }
};

KV_REGISTER_TEST(TestControlCharacters)
#include "tst_ControlCharacters.moc"
