#include "ShopSample.h"
#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "model/CmDocument.h"
#include "project/CvProject.h"
#include "project/Project.h"
#include "selectors/CcCriteriaList.h"
#include "views/ExternalSelectorDialog.h"
#include "views/PreviewServer.h"

#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

namespace {

// Opens the real settings dialog for the selector being edited and presses Test Connection.
class TestingDialogs : public ISelectorDialogs {
public:
    bool connected = false;
    QString said;
    int columns = -1;

    std::optional<SelectorKind> ChooseSelectorType() override { return std::nullopt; }
    QStringList PickSelectors(const QString&, const QStringList&, bool) override { return {}; }
    QStringList OpenSelectorFiles(const QString&, const QString&) override { return {}; }
    void EditExternalSelector(ExternalSelectorSession& session) override
    {
        ExternalSelectorDialog dialog(session);
        connected = dialog.TestConnection();
        said = dialog.TestResult();
        columns = dialog.TableColumns().count();
    }
    void ShowEditor(CvCriteriaList&) override {}
};

// The page a GET (no form) or a POST of the form gives; "error: ..." when none came.
QString page(const QUrl& address, const QList<std::pair<QString, QString>>& form = {})
{
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(address);
    QUrlQuery fields;
    for (const auto& [name, value] : form)
        fields.addQueryItem(name, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    std::unique_ptr<QNetworkReply> reply(form.isEmpty() ? network.get(request)
                                                        : network.post(request, fields.toString(QUrl::FullyEncoded).toUtf8()));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20'000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!reply->isFinished() || reply->error() != QNetworkReply::NoError)
        return QStringLiteral("error: ") + reply->errorString();
    return QString::fromUtf8(reply->readAll());
}

// A saved project open as in the Designer.
struct OpenProject {
    ScriptedPrompt prompt;
    Project project{prompt};

    StorageResult read(const QString& path)
    {
        project.Document().setKeepsWorkingCopy(false);
        return project.Open(path);
    }
};

QString tokenOf(const QString& page)
{
    static const QRegularExpression token(QStringLiteral("name=\"token\" value=\"([^\"]*)\""));
    return token.match(page).captured(1);
}

} // namespace

// The Designer's side of a saved project whose selector is a table in an SQLite file beside it:
// the settings dialog and Preview in Browser find the file from the project, wherever the
// Designer was started.
class TestExternalInTheDesigner : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_project;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        QVERIFY(QDir::currentPath() != m_folder.path());
        QVERIFY(QDir(m_folder.path()).mkpath("saved"));
        m_project = m_folder.filePath("saved/shopfront.kvp");
        QString error;
        QVERIFY2(ShopSample::makeSqliteProject(m_project, error), qPrintable(error));
    }

    void testConnectionFindsTheFileBesideTheProject()
    {
        OpenProject open;
        const StorageResult opened = open.read(m_project);
        QVERIFY2(opened, qPrintable(opened.message));
        TestingDialogs dialogs;
        CcCriteriaList commands(open.project.Document(), open.prompt, open.project.Explorer(), &dialogs);
        commands.EditList(QStringLiteral("shop.laptops"));
        QVERIFY2(dialogs.connected, qPrintable(dialogs.said));
        QVERIFY2(dialogs.said.contains("every accessible field"), qPrintable(dialogs.said));
        QCOMPARE(dialogs.columns, 12);
    }

    // The web tree holds no external settings: the server reads them from the saved project, or
    // the run would stop at the budget's !KILL.
    void previewServesTheExternalTable()
    {
        OpenProject open;
        const StorageResult opened = open.read(m_project);
        QVERIFY2(opened, qPrintable(opened.message));
        PreviewServer server(open.project, open.prompt);
        server.setServerProgram(QStringLiteral(KV_CLI_PATH));
        server.setBrowser([](const QUrl&) { return true; });
        QSignalSpy ready(&server, &PreviewServer::ready);
        QSignalSpy ended(&server, &PreviewServer::ended);
        QVERIFY(server.start());
        QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() || !ended.isEmpty(), PreviewServer::StartSeconds * 1000);
        QVERIFY2(open.prompt.shown().isEmpty(), qPrintable(open.prompt.shownTexts().join('\n')));
        QCOMPARE(ready.size(), 1);
        const QUrl address = server.address();
        const QString welcome = page(address);
        const QString budget = page(address, {{"token", tokenOf(welcome)}, {"go", "next"}});
        QVERIFY2(budget.contains("How much do you want to spend"), qPrintable(budget));
        const QString next = page(address, {{"token", tokenOf(budget)}, {"go", "next"}, {"c2", "1400"}});
        QVERIFY2(next.contains("What will you"), qPrintable(next));
        server.stop();
    }
};

KV_REGISTER_TEST(TestExternalInTheDesigner)
#include "tst_ExternalInTheDesigner.moc"
