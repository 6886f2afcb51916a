#include "common/TestRegistry.h"

#include "app/DesignerHelp.h"
#include "cli/CommandLine.h"

#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

// The Designer answers --help, --help man and --version without a window; its manual page is
// the one the command line's reference writes for it.
class TestDesignerHelp : public QObject {
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"  kestrova-designer --play FILE.kvd\n"_s << QString();
        QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << u"  kestrova-designer --version\n"_s << QString();
        QTest::newRow("manual") << QStringList{u"--help"_s, u"man"_s} << 0 << u".TH KESTROVA-DESIGNER 1 "_s << QString();
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"Kestrova Designer " KV_VERSION_STRING "\n"_s << QString();
        QTest::newRow("help in another form") << QStringList{u"--help"_s, u"html"_s} << 2 << QString() << u"Usage:"_s;
        QTest::newRow("version with more") << QStringList{u"--version"_s, u"x.kvp"_s} << 2 << QString() << u"Usage:"_s;
    }
    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY(DesignerHelp::IsRequest(args));
        QString written;
        QString complaint;
        QTextStream outStream(&written);
        QTextStream errStream(&complaint);
        QCOMPARE(DesignerHelp::Answer(args, outStream, errStream), code);
        QVERIFY2(out.isEmpty() ? written.isEmpty() : written.contains(out), qPrintable(written));
        QVERIFY2(err.isEmpty() ? complaint.isEmpty() : complaint.contains(err), qPrintable(complaint));
    }

    void aProjectIsNoRequest()
    {
        QVERIFY(!DesignerHelp::IsRequest({}));
        QVERIFY(!DesignerHelp::IsRequest({u"my --help.kvp"_s}));
        QVERIFY(!DesignerHelp::IsRequest({u"--play"_s, u"x.kvd"_s}));
    }

    void theCommandLineWritesTheSameManual()
    {
        QString designer;
        QString ignored;
        QTextStream designerOut(&designer);
        QTextStream designerErr(&ignored);
        QCOMPARE(DesignerHelp::Answer({u"--help"_s, u"man"_s}, designerOut, designerErr), 0);
        QString cli;
        QTextStream cliOut(&cli);
        QTextStream cliErr(&ignored);
        QCOMPARE(CommandLine().run({u"--help"_s, u"man"_s, u"kestrova-designer"_s}, cliOut, cliErr), 0);
        designerOut.flush();
        cliOut.flush();
        QCOMPARE(cli, designer);
    }
};

KV_REGISTER_TEST(TestDesignerHelp)
#include "tst_DesignerHelp.moc"
