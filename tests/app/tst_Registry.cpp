#include "app/CApplication.h"
#include "app/CController.h"
#include "project/CModel.h"
#include "app/CRegistry.h"
#include "app/CView.h"
#include "app/CcFile.h"
#include "base/KvError.h"
#include "app/MRegistry.h"
#include "app/MStartUp.h"
#include "common/ScriptedPrompt.h"
#include "app/ViewSettings.h"
#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"
#include "edit/CvDecisionTree.h"
#include "model/CmDocument.h"
#include "tests/app/RecordingWindowHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

namespace {

const QString View = QStringLiteral("View");
const QString Print = QStringLiteral("View\\PrintSettings");

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContent(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

// Stands in for the layout installed with the program (none for a null content) and puts
// back whatever was there.
struct InstalledDefaultLayout {
    const QString path = MRegistry::DefaultLayoutPath();
    const bool existed = QFileInfo::exists(path);
    const QByteArray before = contentOf(path);

    explicit InstalledDefaultLayout(const QByteArray& content)
    {
        QFile::remove(path);
        if (!content.isNull())
            writeContent(path, content);
    }
    ~InstalledDefaultLayout()
    {
        QFile::remove(path);
        if (existed)
            writeContent(path, before);
    }
};

} // namespace

class TestRegistrySettings : public QObject {
    Q_OBJECT

    ScriptedPrompt m_prompt;
    RecordingWindowHost m_windows;

    void start()
    {
        m_windows = RecordingWindowHost();
        MStartUp::Main(m_prompt, m_windows, QString());
    }
    static ViewSettings& settings() { return gApp->View().Settings(); }
    static QString errors() { return gApp->ErrorLogBuffer().Value(); }

private slots:
    void init()
    {
        TestEnvironment::clearSettings();
        QFile::remove(MRegistry::SavedLayoutPath());
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("1"));
        m_prompt = ScriptedPrompt();
        gApp.reset();
    }
    void cleanup()
    {
        gApp.reset();
        TestEnvironment::clearSettings();
    }

    void readingCreatesNothing()
    {
        const CRegistry value(QStringLiteral("View\\PrintSettings\\"), QStringLiteral("Print_Max"));
        QCOMPARE(value.Value(), QString());
        QVERIFY(!value.KeyExists());
        QVERIFY(!CRegistry(View, QString()).KeyExists());
        value.setValue(QStringLiteral("0"));
        QCOMPARE(CRegistry::Read(Print, QStringLiteral("Print_Max")), QStringLiteral("0"));
        QVERIFY(CRegistry(View, QString()).KeyExists());
        QVERIFY(!CRegistry(View, QStringLiteral("Print_Max")).KeyExists());
    }

    void settingsSurviveTwoLifetimes()
    {
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("0"));
        CRegistry::Write(View, QStringLiteral("LayoutVersion"), QStringLiteral("1.2"));
        start();
        ViewSettings changed = settings();
        changed.MainWindow = {WindowPlacement::Maximized, -1200, 40, 900, 640};
        changed.Diagram.GridSpacing = 24;
        changed.Diagram.LinkColor = 0xFF00FF;
        changed.Diagram.ToolTip = false;
        changed.TestMode.StartDecision = QStringLiteral("Budget");
        changed.Editing.ImagePath = QStringLiteral("/home/ann/Pictures and more");
        changed.Editing.AnalyzePathsOnValidate = true;
        changed.Print.Print_DTThumbnail = false;
        settings() = changed;
        m_windows.placement = changed.MainWindow;
        const QByteArray layout("bars\0and docks", 14);
        m_windows.layout = layout;
        for (int i = 1; i <= 21; ++i)
            gApp->Controller().File().AddToMRU(QStringLiteral("/trees/%1.kvp").arg(i));
        gApp->Model().Document().setCurrentPath(QStringLiteral("/trees"));

        QVERIFY(MStartUp::ExitProgram(m_windows));
        QCOMPARE(CRegistry::Read(QString(), QStringLiteral("NoGSRun")), QStringLiteral("1"));
        QCOMPARE(CRegistry::Read(View, QStringLiteral("LayoutVersion")), QStringLiteral("1.51"));
        QCOMPARE(CRegistry::Read(QString(), QStringLiteral("Program Path")),
                 QCoreApplication::applicationDirPath() + QLatin1Char('/'));
        QVERIFY(!CRegistry(QString(), QStringLiteral("RegistryDataSet")).KeyExists());
        QCOMPARE(CRegistry::Read(Print, QStringLiteral("Print_DTThumbnail")), QStringLiteral("0"));
        QCOMPARE(CRegistry::Read(View, QStringLiteral("AnalyzePathsOnValidate")), QStringLiteral("1"));
        QCOMPARE(CRegistry::Read(QStringLiteral("MRU"), QStringLiteral("File20")), QStringLiteral("/trees/2.kvp"));

        start();
        QVERIFY2(errors().isEmpty(), qPrintable(errors()));
        QVERIFY(settings() == changed);
        QCOMPARE(m_windows.placedWindows, QList<WindowPlacement>{changed.MainWindow});
        QCOMPARE(m_windows.restoredLayouts, QList<QByteArray>{layout});
        QCOMPARE(gApp->Controller().File().GetMRU(1), QStringLiteral("/trees/21.kvp"));
        QCOMPARE(gApp->Controller().File().RecentFiles().size(), CcFile::RecentFileCount);
        QCOMPARE(gApp->Model().Document().CurrentPath(), QStringLiteral("/trees"));
    }

    void linkPreferencesSurviveTwoLifetimes()
    {
        CRegistry::Write(QString(), QStringLiteral("NoGSRun"), QStringLiteral("0"));
        start();
        LinkPreferences& preferences = gApp->Controller().DiagramView().Preferences();
        preferences = {false, QStringLiteral("Yes"), QStringLiteral("[[Age]] > 18")};
        QVERIFY(MStartUp::ExitProgram(m_windows));
        QCOMPARE(CRegistry::Read(View, QStringLiteral("LinkAlways")), QStringLiteral("0"));
        QCOMPARE(CRegistry::Read(View, QStringLiteral("LinkExpr")), QStringLiteral("[[Age]] > 18"));

        start();
        const LinkPreferences& restored = gApp->Controller().DiagramView().Preferences();
        QCOMPARE(restored.LinkAlways, false);
        QCOMPARE(restored.LinkExpr, QStringLiteral("[[Age]] > 18"));
        // The option belongs to one control's lines and is not kept between runs.
        QCOMPARE(restored.LinkOption, QString());
    }

    void badNumbersKeepTheirBuiltInValue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("error");
        const int builtIn = DiagramSettings().GridSpacing;
        const QString source = QStringLiteral("\tSource:GridSpacing|MRegistry.LoadWindowSettings\tDescription:");
        const QString mismatch = QStringLiteral("13") + source + QStringLiteral("Type mismatch");
        QTest::newRow("word") << "ten" << builtIn << mismatch;
        QTest::newRow("empty") << "" << builtIn << mismatch;
        QTest::newRow("fraction") << "12.5" << builtIn << mismatch;
        const QString overflow = QStringLiteral("6") + source + QStringLiteral("Overflow");
        QTest::newRow("beyond 32 bits") << "2147483648" << builtIn << overflow;
        QTest::newRow("lowest 32-bit") << "-2147483648" << int(-2147483647 - 1) << "";
        QTest::newRow("blanks around") << " 30 " << 30 << "";
    }
    void badNumbersKeepTheirBuiltInValue()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        QFETCH(QString, error);
        CRegistry::Write(View, QStringLiteral("GridSpacing"), stored);
        CRegistry::Write(View, QStringLiteral("SnapDistance"), QStringLiteral("3"));
        CRegistry::Write(Print, QStringLiteral("Print_Max"), QStringLiteral("0"));
        start();
        QCOMPARE(errors(), error.isEmpty() ? QString() : QStringLiteral("Error:") + error + QStringLiteral("\r\n"));
        QCOMPARE(settings().Diagram.GridSpacing, expected);
        QCOMPARE(settings().Diagram.SnapDistance, 3);
        QCOMPARE(settings().Print.Print_Max, false);
    }

    void freshInstallationIgnoresStoredValuesOnce_data()
    {
        QTest::addColumn<QString>("dataSet");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("fresh installation") << "0" << false << "1";
        QTest::newRow("set") << "1" << true << "1";
        QTest::newRow("absent") << QString() << true << QString();
    }
    void freshInstallationIgnoresStoredValuesOnce()
    {
        QFETCH(QString, dataSet);
        QFETCH(bool, applied);
        QFETCH(QString, afterwards);
        if (!dataSet.isNull())
            CRegistry::Write(QString(), QStringLiteral("RegistryDataSet"), dataSet);
        CRegistry::Write(View, QStringLiteral("GridSpacing"), QStringLiteral("40"));
        CRegistry::Write(View, QStringLiteral("Width"), QStringLiteral("700"));
        start();
        QCOMPARE(settings().Diagram.GridSpacing, applied ? 40 : DiagramSettings().GridSpacing);
        QCOMPARE(m_windows.placedWindows.size(), applied ? 1 : 0);
        QCOMPARE(settings().Editing.StartDecisionBuilderOnNew, !applied);
        QVERIFY(settings().Editing.StartDTEditorOnOpen);
        QCOMPARE(CRegistry::Read(QString(), QStringLiteral("RegistryDataSet")), afterwards);

        gApp.reset();
        start();
        QCOMPARE(settings().Diagram.GridSpacing, 40);
        QCOMPARE(m_windows.placedWindows.value(0).Width, 700);
    }

    void layoutComesFromTheSavedOrTheDefaultFile_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("savedFile");
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QByteArray>("restored");
        QTest::newRow("current version") << "1.51" << true << QByteArray("default") << QByteArray("saved");
        QTest::newRow("changed version") << "1.5" << true << QByteArray("default") << QByteArray("default");
        QTest::newRow("never saved") << QString() << false << QByteArray("default") << QByteArray("default");
        QTest::newRow("saved file gone") << "1.51" << false << QByteArray("default") << QByteArray("default");
        QTest::newRow("nothing installed") << "1.0" << true << QByteArray() << QByteArray();
    }
    void layoutComesFromTheSavedOrTheDefaultFile()
    {
        QFETCH(QString, version);
        QFETCH(bool, savedFile);
        QFETCH(QByteArray, installed);
        QFETCH(QByteArray, restored);
        if (!version.isNull())
            CRegistry::Write(View, QStringLiteral("LayoutVersion"), version);
        if (savedFile)
            writeContent(MRegistry::SavedLayoutPath(), "saved");
        const InstalledDefaultLayout defaultLayout(installed);
        start();
        QCOMPARE(m_windows.restoredLayouts, restored.isNull() ? QList<QByteArray>() : QList<QByteArray>{restored});
        QCOMPARE(errors(), QString());
    }

    void unwritableStoreIsReportedAndTheRestIsSaved()
    {
        start();
        // A folder where the settings file belongs cannot be written over.
        const QString file =
            QSettings(QSettings::IniFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                      QCoreApplication::applicationName())
                .fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        QVERIFY_THROWS_EXCEPTION(KvError, CRegistry::Write(View, QStringLiteral("Top"), QStringLiteral("5")));
        m_windows.layout = QByteArrayLiteral("still saved");

        MRegistry::SaveToRegistry();
        for (const char* procedure : {"SaveLayout", "SaveWindowSettings", "SaveToRegistry", "SaveMRU"})
            QVERIFY2(errors().contains(QStringLiteral("|MRegistry.%1\t").arg(QLatin1String(procedure))), procedure);
        QVERIFY(errors().startsWith(QStringLiteral("Error:75\tSource:CRegistry|MRegistry.SaveLayout\t")));
        QCOMPARE(contentOf(MRegistry::SavedLayoutPath()), QByteArrayLiteral("still saved"));
        QCOMPARE(gApp->View().StatusText(), QStringLiteral("Ready"));
    }
};

KV_REGISTER_TEST(TestRegistrySettings)
#include "tst_Registry.moc"
