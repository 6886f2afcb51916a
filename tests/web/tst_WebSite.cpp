#include "common/TestRegistry.h"

#include "base/ResourceStrings.h"
#include "tests/runtime/RuntimeFixture.h"
#include "web/HtmlText.h"
#include "web/ResultsStore.h"
#include "web/RunToken.h"
#include "web/WebSite.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using RuntimeFixture::record;

namespace {
const QByteArray Key = QByteArrayLiteral("a key of thirty-two bytes for it");
const QString Hostile = QString::fromUtf8("<script>alert(\"x\")</script> & 'q' \x01");

// Welcome, a number, a text, a choice that narrows the cars, several choices, a check box,
// the cars left, the end.
QStringList peopleTree()
{
    return {record(1, "Welcome", "Info", {"$Welcome"}, {}, "<B>Hello</B> <script>alert(1)</script>"),
            record(2, "Age", "NumBox", {"$Your age", "^0-120"}),
            record(3, "Name", "StringBox", {"$Name <script>\"&'"}),
            record(4, "Colour", "Radio", {"$Colour", "^Red", "!KILL Cars: Colour <> \"Red\"", "^Blue <b>\"x\"</b> & co",
                                          "!KILL Cars: Colour <> \"Blue\""}),
            record(5, "Extras", "MultiList", {"$Extras", "^A", "^B", "^C"}),
            record(6, "Agree", "Check", {"$I agree", "^True", "^False"}),
            record(7, "Results", "dList", {"$Cars left", "^Cars"}),
            record(8, "End", "Done", {"$Done"}, {}, "Bye")};
}

QStringList linksTree()
{
    return {record(1, "Where", "Radio", {"$Where", "^Jump", "!JUMP \"http://example.com/next?a=1&b=2\"", "^Script",
                                         "!JUMP \"javascript:alert(1)\"", "^Window", "!JUMPN \"https://example.com/new\"",
                                         "^Send", "!SUBMIT \"https://example.com/in\"", "^Leave", "!GO FinishLink"}),
            record(2, "After", "StringBox", {"$After"})};
}

struct Request {
    QString path;
    QList<std::pair<QString, QString>> fields;
};

class Served {
public:
    explicit Served(const QStringList& records, const QString& name = QStringLiteral("people"), bool withResults = false,
                    const QByteArray& key = Key)
        : m_records(records)
    {
        m_path = m_dir.filePath(name + QStringLiteral(".kvw"));
        touch(QStringLiteral("first"));
        if (withResults) {
            QString error;
            results = ResultsStore::open(m_dir.filePath(QStringLiteral("results.sqlite")), error);
        }
        site = std::make_unique<WebSite>(key, results.get(), [this](const QString& line) { log.append(line); });
        const QStringList treeRecords = m_records;
        const StorageResult added = site->add(m_path, [treeRecords](const QString& path, WebTree& tree) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return StorageResult::failure(StorageErrorKind::Io, file.errorString());
            tree.compiled = RuntimeFixture::tree(treeRecords, QStringLiteral("Cars"), RuntimeFixture::cars());
            tree.name = WebTree::nameFor(path);
            tree.version = WebTree::versionOf(file.readAll());
            tree.title = QStringLiteral("Title <i>\"&");
            return StorageResult::success();
        });
        QVERIFY2(added, qPrintable(added.message));
    }

    // Rewrites the tree's file, so the next refresh reads a new version.
    void touch(const QString& content)
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content.toUtf8());
    }

    WebResponse get(const QString& path) { return site->handle(WebRequest{"GET", path, {}}); }
    WebResponse post(const QString& token, const QList<std::pair<QString, QString>>& fields, const QString& tree = QStringLiteral("people"))
    {
        WebRequest request{"POST", QStringLiteral("/%1/").arg(tree), fields};
        request.fields.prepend({QStringLiteral("token"), token});
        return site->handle(request);
    }

    QTemporaryDir m_dir;
    QStringList m_records;
    QString m_path;
    std::unique_ptr<ResultsStore> results;
    std::unique_ptr<WebSite> site;
    QStringList log;
};

QString bodyOf(const WebResponse& response)
{
    return QString::fromUtf8(response.body);
}

QString tokenOf(const WebResponse& response)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("name=\"token\" value=\"([^\"]*)\"")).match(bodyOf(response));
    return match.captured(1);
}

// Answers the people tree from the welcome page to its end, the Next of each page taken by
// next, so that any site may serve any step.
QString runToEnd(const std::function<WebResponse(const QString&, const QList<std::pair<QString, QString>>&)>& next,
                 const WebResponse& first)
{
    QString token = tokenOf(first);
    const QList<QList<std::pair<QString, QString>>> pages{
        {{"go", "next"}},
        {{"go", "next"}, {"c2", "42"}},
        {{"go", "next"}, {"c3", Hostile}},
        {{"go", "next"}, {"c4", "Blue <b>\"x\"</b> & co"}},
        {{"go", "next"}, {"c5", "A"}, {"c5", "C"}},
        {{"go", "next"}, {"c6", "True"}},
        {{"go", "next"}, {"c7", "Estate"}},
        {{"go", "next"}}};
    WebResponse response;
    for (const auto& fields : pages) {
        response = next(token, fields);
        if (response.status != 200)
            return QStringLiteral("status %1: %2").arg(response.status).arg(bodyOf(response));
        token = tokenOf(response);
    }
    return bodyOf(response);
}
} // namespace

// The site without a socket: its pages, the runs in their tokens, and what it refuses.
class TestWebSite : public QObject {
    Q_OBJECT

private slots:
    void startsARunOnAnAccessiblePage()
    {
        Served served(peopleTree());
        const WebResponse list = served.get("/");
        QCOMPARE(list.status, 200);
        QVERIFY(bodyOf(list).contains("href=\"/people/\""));

        const WebResponse page = served.get("/people/");
        QCOMPARE(page.status, 200);
        const QString body = bodyOf(page);
        QVERIFY(body.startsWith("<!DOCTYPE html>\n<html lang=\"en\">"));
        QVERIFY(body.contains("<title>Title &lt;i&gt;\"&amp;</title>"));
        QVERIFY(body.contains("<b>Hello</b> &lt;script&gt;alert(1)&lt;/script&gt;"));
        QVERIFY(!body.contains("<script", Qt::CaseInsensitive));
        QVERIFY(!tokenOf(page).isEmpty());
        QVERIFY(body.contains("value=\"next\""));
        QVERIFY(!body.contains("value=\"back\"")); // nothing to go back to yet
        QCOMPARE(served.get("/people").status, 301);
        QCOMPARE(served.get("/nobody/").status, 404);
    }

    void runsStartOnlyAtTheFirstPage()
    {
        Served served(peopleTree());
        for (const QString& start : {QStringLiteral("Results"), QStringLiteral("End"), QStringLiteral("nobody"), QString()}) {
            const WebResponse refused = served.site->handle(WebRequest{"GET", QStringLiteral("/people/"), {{"start", start}}});
            QCOMPARE(refused.status, 400);
            QVERIFY(tokenOf(refused).isEmpty());
            QVERIFY(bodyOf(refused).contains(HtmlText::text(LoadResString(35034).arg(start))));
        }
        // The refusal leaves the site serving runs from the first page.
        QVERIFY(bodyOf(served.get("/people/")).contains("<b>Hello</b>"));
    }

    void refusedAnswerKeepsInputAndToken()
    {
        Served served(peopleTree());
        const WebResponse welcome = served.get("/people/");
        const WebResponse age = served.post(tokenOf(welcome), {{"go", "next"}});
        QVERIFY(bodyOf(age).contains("<label for=\"c2\">Your age</label>"));
        QVERIFY(bodyOf(age).contains("type=\"number\" name=\"c2\" id=\"c2\" autofocus min=\"0\" max=\"120\" step=\"1\""));

        const WebResponse refused = served.post(tokenOf(age), {{"go", "next"}, {"c2", "150\"><b>"}});
        QCOMPARE(refused.status, 200);
        const QString body = bodyOf(refused);
        QVERIFY(body.contains("aria-invalid=\"true\" aria-describedby=\"c2-error\""));
        QVERIFY(body.contains("id=\"c2-error\" role=\"alert\""));
        QVERIFY(body.contains("value=\"150&quot;&gt;&lt;b&gt;\""));
        QCOMPARE(tokenOf(refused), tokenOf(age));

        const WebResponse outside = served.post(tokenOf(age), {{"go", "next"}, {"c2", "150"}});
        QVERIFY(bodyOf(outside).contains(HtmlText::text(LoadResString(32511).arg("Age", "150", "0 to 120")))
                || bodyOf(outside).contains("outside the limits"));

        const WebResponse name = served.post(tokenOf(age), {{"go", "next"}, {"c2", "30"}});
        QVERIFY(bodyOf(name).contains("name=\"c3\""));
        const WebResponse back = served.post(tokenOf(name), {{"go", "back"}});
        QVERIFY(bodyOf(back).contains("name=\"c2\""));
        QVERIFY(bodyOf(back).contains("value=\"30\""));
    }

    void emptyChoiceIsRefused()
    {
        Served served(peopleTree());
        QString token = tokenOf(served.get("/people/"));
        token = tokenOf(served.post(token, {{"go", "next"}}));
        token = tokenOf(served.post(token, {{"go", "next"}, {"c2", "5"}}));
        token = tokenOf(served.post(token, {{"go", "next"}, {"c3", "x"}}));
        const WebResponse refused = served.post(token, {{"go", "next"}});
        QVERIFY(bodyOf(refused).contains(HtmlText::text(LoadResString(32571).arg("Colour"))));
        QCOMPARE(tokenOf(refused), token);
    }

    void runEndsWithValuesAndItemsEscaped()
    {
        Served served(peopleTree(), QStringLiteral("people"), true);
        const QString end = runToEnd([&](const QString& token, const auto& fields) { return served.post(token, fields); },
                                     served.get("/people/"));
        QVERIFY2(end.contains("<dd data-control=\"Name\">" + HtmlText::text(Hostile) + "</dd>"), qPrintable(end));
        QVERIFY(end.contains("<dd data-control=\"Colour\">Blue &lt;b&gt;\"x\"&lt;/b&gt; &amp; co</dd>"));
        QVERIFY(end.contains("<dd data-control=\"Extras\">A|C</dd>"));
        QVERIFY(end.contains("<dd data-control=\"Agree\">True</dd>"));
        QVERIFY(end.contains("<li>Estate</li>\n<li>Roadster</li>"));
        QVERIFY(!end.contains("<li>Mini</li>"));
        QVERIFY(!end.contains("<script", Qt::CaseInsensitive));

        ResultsStore::Report report;
        QString error;
        QVERIFY(served.results->report(QString(), report, error));
        QCOMPARE(report.pages.size(), 8);
        QCOMPARE(report.pages.first().page, QString("Welcome"));
        QCOMPARE(report.pages.first().reached, 1);
        QCOMPARE(report.pages.last().page, QString("End"));
        QCOMPARE(report.pages.last().ended, 1);
        QCOMPARE(report.items.size(), 2);
        QCOMPARE(report.items.first().item, QString("Estate"));
    }

    void failingStoreNeverBreaksARun()
    {
        Served served(peopleTree(), QStringLiteral("people"), true);
        // Another connection takes the table away, as a damaged store would fail.
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(served.m_dir.filePath("results.sqlite")).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "DROP TABLE events", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        const WebResponse page = served.get("/people/");
        QCOMPARE(page.status, 200);
        QVERIFY(!tokenOf(page).isEmpty());
        QCOMPARE(served.post(tokenOf(page), {{"go", "next"}}).status, 200);
        QCOMPARE(served.log.size(), 2);
        QVERIFY(served.log.first().contains("results.sqlite"));
    }

    void twoSitesShareOneRun()
    {
        Served one(peopleTree());
        Served other(peopleTree());
        Served alone(peopleTree());
        int turn = 0;
        const QString alternating = runToEnd(
            [&](const QString& token, const auto& fields) { return (turn++ % 2 ? other : one).post(token, fields); },
            one.get("/people/"));
        const QString single =
            runToEnd([&](const QString& token, const auto& fields) { return alone.post(token, fields); }, alone.get("/people/"));
        QVERIFY(alternating.contains("data-control=\"Agree\""));
        QCOMPARE(alternating, single);
    }

    void refusesTokensItDidNotIssue()
    {
        Served served(peopleTree());
        Served otherKey(peopleTree(), QStringLiteral("people"), false, QByteArrayLiteral("another key, also thirty-two b."));
        Served otherTree(peopleTree(), QStringLiteral("other"));
        const QString token = tokenOf(served.get("/people/"));
        QString changed = token;
        changed[5] = changed.at(5) == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');

        const auto refusedWith = [](const WebResponse& response, int messageId) {
            return response.status == 400 && bodyOf(response).contains(HtmlText::text(LoadResString(messageId)));
        };
        QVERIFY(refusedWith(served.post(changed, {{"go", "next"}}), 35030));
        QVERIFY(refusedWith(served.post(QString(), {{"go", "next"}}), 35030));
        QVERIFY(refusedWith(otherKey.post(token, {{"go", "next"}}), 35030));
        // The same key, but the token names the tree at /people/.
        Served sameKeyOtherTree(peopleTree(), QStringLiteral("other"));
        QVERIFY(refusedWith(sameKeyOtherTree.post(token, {{"go", "next"}}, QStringLiteral("other")), 35031));

        // The tree replaced on disk: new runs start on it, the run under way must start again.
        served.touch(QStringLiteral("second version"));
        served.site->refresh();
        QVERIFY(refusedWith(served.post(token, {{"go", "next"}}), 35032));
        const QString fresh = tokenOf(served.get("/people/"));
        QCOMPARE(served.post(fresh, {{"go", "next"}}).status, 200);
    }

    // Adding a tree and each refresh leave a loaded engine for the next request that needs one:
    // a new run, or a replay in a copy that never saw the run.
    void enginesAreLoadedBeforeRequests()
    {
        Served served(peopleTree());
        QCOMPARE(served.site->spareEngines(), std::size_t(1));
        const QString token = tokenOf(served.get("/people/"));
        QCOMPARE(served.site->spareEngines(), std::size_t(0));
        served.site->refresh();
        served.site->refresh();
        QCOMPARE(served.site->spareEngines(), std::size_t(1));
        QVERIFY(!tokenOf(served.get("/people/")).isEmpty());
        QCOMPARE(served.site->spareEngines(), std::size_t(0));
        Served other(peopleTree());
        QCOMPARE(other.site->spareEngines(), std::size_t(1));
        QVERIFY(bodyOf(other.post(token, {{"go", "next"}})).contains("name=\"c2\""));
        QCOMPARE(other.site->spareEngines(), std::size_t(0));
        // A new version gets an engine of its own; the old version's spare goes when the limit
        // needs room.
        served.site->refresh();
        served.touch(QStringLiteral("second version"));
        served.site->refresh();
        QCOMPARE(served.site->spareEngines(), std::size_t(2));
    }

    void linksOnlyToWebAddresses()
    {
        Served served(linksTree(), QStringLiteral("links"));
        const QString token = tokenOf(served.get("/links/"));
        const WebResponse jump = served.post(token, {{"go", "next"}, {"c1", "Jump"}}, "links");
        QCOMPARE(jump.status, 303);
        QCOMPARE(jump.headers.value(0).second, QByteArray("http://example.com/next?a=1&b=2"));

        const WebResponse script = served.post(token, {{"go", "next"}, {"c1", "Script"}}, "links");
        QCOMPARE(script.status, 200);
        QVERIFY(bodyOf(script).contains(HtmlText::text(LoadResString(35035).arg("javascript:alert(1)"))));
        QVERIFY(!bodyOf(script).contains("href=\"javascript"));

        const WebResponse window = served.post(token, {{"go", "next"}, {"c1", "Window"}}, "links");
        QVERIFY(bodyOf(window).contains("<a href=\"https://example.com/new\" target=\"_blank\" rel=\"noopener noreferrer\">"));

        const WebResponse send = served.post(token, {{"go", "next"}, {"c1", "Send"}}, "links");
        QVERIFY(bodyOf(send).contains("<form method=\"post\" action=\"https://example.com/in\" class=\"submit\">"));
        QVERIFY(bodyOf(send).contains("<input type=\"hidden\" name=\"Where\" value=\"Send\">"));

        const WebResponse leave = served.post(token, {{"go", "next"}, {"c1", "Leave"}}, "links");
        QCOMPARE(leave.status, 200);
        QVERIFY(bodyOf(leave).contains("class=\"again\""));
        QVERIFY(!bodyOf(leave).contains("name=\"token\""));
    }

    void picturesOnlyFromTheImageFolder()
    {
        Served served(peopleTree());
        QTemporaryDir images;
        QFile picture(images.filePath("pic.jpg"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write(QByteArray("\xFF\xD8\xFF\xE0 not really a picture", 24));
        picture.close();
        QFile text(images.filePath("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("plain");
        text.close();
        QVERIFY(QFile::link(served.m_path, images.filePath("tree.jpg")));
        served.site->setImageFolder(images.path());

        const WebResponse byName = served.get("/people/images/pic");
        QCOMPARE(byName.status, 200);
        QCOMPARE(byName.body, QByteArray("\xFF\xD8\xFF\xE0 not really a picture", 24));
        const WebResponse found = served.get("/people/images/pic.jpg");
        QCOMPARE(found.status, 200);
        QCOMPARE(found.contentType, QByteArray("image/jpeg"));
        QCOMPARE(served.get("/people/images/notes.txt").status, 404);
        QCOMPARE(served.get("/people/images/tree.jpg").status, 404);
        QCOMPARE(served.get("/people/images/../people.kvw").status, 404);
        QCOMPARE(served.get("/people/images/..").status, 404);
        QCOMPARE(served.get("/people/images/.hidden").status, 404);
    }
};

KV_REGISTER_TEST(TestWebSite)
#include "tst_WebSite.moc"
