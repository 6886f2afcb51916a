#include "common/TestRegistry.h"
#include "edit/DiagramFixture.h"

#include "edit/CanvasModel.h"
#include "edit/MLinkUtil.h"
#include "model/CmDecisionManager.h"
#include "model/CmDecisionItem.h"

#include <QMap>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <deque>
#include <vector>

namespace {

QStringList lines(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('|'));
}

// Answers the link dialog from a script and remembers what it was shown.
class ScriptedLinkDialog : public ILinkDialog {
public:
    LinkAnswer AskLink(const CmDecisionItem& source, const LinkPreferences& preferences) override
    {
        askedFor.append(source.strID());
        offered.push_back(preferences);
        if (answers.empty())
            return {};
        LinkAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<LinkAnswer> answers;
    QStringList askedFor;
    std::vector<LinkPreferences> offered;
};

} // namespace

class TestLinks : public QObject {
    Q_OBJECT

private slots:
    void linkLinesGoWhereTheAnswerSays_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("after");
        QTest::newRow("no lines") << "" << "" << "" << "!GO Next";
        QTest::newRow("after option") << "^Yes|^No" << "No" << "" << "^Yes|^No|!GO Next";
        QTest::newRow("before option's own lines") << "^Yes|!SET A = 1|^No" << "Yes" << ""
                                                  << "^Yes|!GO Next|!SET A = 1|^No";
        QTest::newRow("pre-action") << "^Yes|^No" << "" << "" << "!GO Next|^Yes|^No";
        QTest::newRow("expression on top") << "^Yes|^No" << "" << "[[Age]] > 18"
                                           << "!IF [[Age]] > 18|!GO Next|!ENDIF|^Yes|^No";
        QTest::newRow("expression into empty") << "" << "" << "[[Age]] > 18" << "!IF [[Age]] > 18|!GO Next|!ENDIF";
        QTest::newRow("option and expression") << "^Yes|!NOOP|^No" << "Yes" << "[[Age]] > 18"
                                               << "^Yes|!IF [[Age]] > 18|!GO Next|!ENDIF|!NOOP|^No";
        QTest::newRow("option gone") << "^Yes|^Maybe" << "No" << "" << "!GO Next|^Yes|^Maybe";
        QTest::newRow("option compared exactly") << "^yes" << "Yes" << "" << "!GO Next|^yes";
        QTest::newRow("first equal option") << "^A|^A" << "A" << "" << "^A|!GO Next|^A";
    }
    void linkLinesGoWhereTheAnswerSays()
    {
        QFETCH(QString, before);
        QFETCH(QString, option);
        QFETCH(QString, expression);
        QFETCH(QString, after);
        QCOMPARE(MLinkUtil::AddLinkLines(lines(before), option, expression, QStringLiteral("Next")), lines(after));
    }

    // Removing a link takes the !GO lines of one option (or of the pre-actions) to one target,
    // wherever they stand in its group, and nothing else.
    void removedLinkTakesItsGoLines_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("after");
        QTest::newRow("one option") << "^Yes|!GO Next|^No|!GO Next" << "No" << "^Yes|!GO Next|^No";
        QTest::newRow("pre-action") << "!GO Next|^Yes|!GO Next" << "" << "^Yes|!GO Next";
        QTest::newRow("in branches") << "^Yes|!IF [[A]] > 1|!GO Next|!ELSE|!GO next |!ENDIF" << "Yes"
                                     << "^Yes|!IF [[A]] > 1|!ELSE|!ENDIF";
        QTest::newRow("other target kept") << "^Yes|!GO Other|!GO Next" << "Yes" << "^Yes|!GO Other";
        QTest::newRow("no such option") << "^Yes|!GO Next" << "No" << "^Yes|!GO Next";
    }
    void removedLinkTakesItsGoLines()
    {
        QFETCH(QString, before);
        QFETCH(QString, option);
        QFETCH(QString, after);
        QCOMPARE(MLinkUtil::RemoveLinkLines(lines(before), option, QStringLiteral("Next")), lines(after));
        QCOMPARE(MLinkUtil::Links(lines("!GO A|^Yes|!SET B = 1|!GO  C ")).size(), 2);
        QCOMPARE(MLinkUtil::Links(lines("!GO A|^Yes|!SET B = 1|!GO  C ")).last().option, QStringLiteral("Yes"));
        QCOMPARE(MLinkUtil::Links(lines("!GO A|^Yes|!SET B = 1|!GO  C ")).last().target, QStringLiteral("C"));
    }

    void drawnLinkWritesTheSourceControl()
    {
        DiagramFixture diagram;
        ScriptedLinkDialog dialog;
        diagram.view.setLinkDialog(&dialog);
        CmDecisionItem* source = diagram.add(1, QStringLiteral("Ask"), QStringLiteral("^Yes|!GO Ask|^No|!GO Ask"));
        diagram.add(2, QStringLiteral("Next"), QStringLiteral("!GO Next"));
        CanvasModel& canvas = diagram.view.Canvas();
        QCOMPARE(canvas.LinksFrom(1), QList<qint16>{1});
        QSignalSpy redraw(&diagram.view, &CvDecisionTree::linkRedrawRequested);

        dialog.answers.push_back({false, QStringLiteral("No"), QString()});
        canvas.CompleteLink(1, 2);
        QCOMPARE(dialog.askedFor, QStringList{QStringLiteral("Ask")});
        QCOMPARE(source->OptsAndActs(), lines(QStringLiteral("^Yes|!GO Ask|^No|!GO Next|!GO Ask")));
        QCOMPARE(canvas.LinksFrom(1), (QList<qint16>{1, 2}));
        QCOMPARE(redraw.count(), 1);

        // Drawn twice, written twice: nothing removes duplicates.
        dialog.answers.push_back({false, QStringLiteral("No"), QString()});
        canvas.CompleteLink(1, 2);
        QCOMPARE(source->OptsAndActs(), lines(QStringLiteral("^Yes|!GO Ask|^No|!GO Next|!GO Next|!GO Ask")));
        QCOMPARE(canvas.LinksFrom(1), (QList<qint16>{1, 2}));
    }

    void cancelledLinkLeavesNoTrace()
    {
        DiagramFixture diagram;
        ScriptedLinkDialog dialog;
        diagram.view.setLinkDialog(&dialog);
        CmDecisionItem* source = diagram.add(1, QStringLiteral("Ask"), QStringLiteral("^Yes|!GO Ask"));
        diagram.add(2, QStringLiteral("Next"), QStringLiteral("!GO Next"));
        CanvasModel& canvas = diagram.view.Canvas();
        QSignalSpy changed(&diagram.decisions, &CmDecisionManager::decisionChanged);
        // While the dialog is open the drawn arrow shows.
        QList<qint16> shownWhileAsking;
        canvas.setLinkHandler([&](qint16 from, qint16 to) {
            shownWhileAsking = canvas.LinksFrom(from);
            diagram.view.mCustomBlk_LinkComplete(from, to);
        });
        canvas.CompleteLink(1, 2);
        QCOMPARE(shownWhileAsking, (QList<qint16>{1, 2}));
        QCOMPARE(source->OptsAndActs(), lines(QStringLiteral("^Yes|!GO Ask")));
        QCOMPARE(canvas.LinksFrom(1), QList<qint16>{1});
        QCOMPARE(changed.count(), 0);
    }

    void nextLinkOffersTheLastAnswer()
    {
        DiagramFixture diagram;
        ScriptedLinkDialog dialog;
        diagram.view.setLinkDialog(&dialog);
        diagram.add(1, QStringLiteral("Ask"), QStringLiteral("^Yes|^No"));
        diagram.add(2, QStringLiteral("Next"));
        CanvasModel& canvas = diagram.view.Canvas();
        dialog.answers.push_back({false, QStringLiteral("No"), QStringLiteral("[[Age]] > 18")});
        dialog.answers.push_back({true, QString(), QString()});
        dialog.answers.push_back({false, QString(), QString()});
        for (int link = 0; link < 4; ++link)
            canvas.CompleteLink(1, 2);
        QCOMPARE(dialog.offered.size(), std::size_t(4));
        QVERIFY(dialog.offered[0].LinkAlways);
        QCOMPARE(dialog.offered[1].LinkAlways, false);
        QCOMPARE(dialog.offered[1].LinkOption, QStringLiteral("No"));
        QCOMPARE(dialog.offered[1].LinkExpr, QStringLiteral("[[Age]] > 18"));
        // A cancelled dialog changes nothing.
        QCOMPARE(dialog.offered[2].LinkExpr, QStringLiteral("[[Age]] > 18"));
        QVERIFY(dialog.offered[3].LinkAlways);
        QCOMPARE(dialog.offered[3].LinkExpr, QString());
    }

    // The diagram relinks only the controls an edit touches; what it shows must equal deriving
    // every link again, after every kind of edit, named or numbered targets, and fall-through.
    void linksFollowEditsAsAFullRederiveWould()
    {
        DiagramFixture diagram;
        QRandomGenerator random(20261208);
        const auto name = [&] { return QStringLiteral("N%1").arg(random.bounded(12)); };
        const auto someLines = [&] {
            switch (random.bounded(4)) {
            case 0: return QStringLiteral("^Yes|!GO %1|^No|!GO %2").arg(name(), name());
            case 1: return QStringLiteral("^Yes|!GO %1|^No").arg(name()); // No falls through
            case 2: return QStringLiteral("!GO %1").arg(random.bounded(1, 14));
            default: return QString();
            }
        };
        CanvasModel& canvas = diagram.view.Canvas();
        const auto shown = [&] {
            QMap<qint16, QList<qint16>> links;
            for (const auto& [key, entity] : canvas.AllEntities())
                links.insert(key, canvas.LinksFrom(key));
            return links;
        };
        for (int step = 0; step < 400; ++step) {
            const qint16 id = static_cast<qint16>(random.bounded(1, 14));
            CmDecisionItem* item = diagram.decisions.Item(QVariant(id));
            const int kind = random.bounded(4);
            if (!item) {
                const QString wanted = name();
                diagram.add(id, diagram.decisions.Exists(wanted) ? QString() : wanted, someLines());
            } else if (kind == 0) {
                diagram.decisions.Remove(QVariant(id));
            } else if (kind == 1) {
                const QString wanted = name();
                if (!diagram.decisions.Exists(wanted))
                    diagram.tree.Rename(item->strID(), wanted, id);
            } else {
                item->setOptsAndActs(someLines().split(QLatin1Char('|'), Qt::SkipEmptyParts));
            }
            const auto incremental = shown();
            canvas.RefreshLinks();
            QCOMPARE(incremental, shown());
        }
    }

    void linkToUnnamedControlUsesItsKey()
    {
        DiagramFixture diagram;
        ScriptedLinkDialog dialog;
        diagram.view.setLinkDialog(&dialog);
        CmDecisionItem* source = diagram.add(1, QStringLiteral("Ask"));
        diagram.add(2, QString());
        dialog.answers.push_back({false, QString(), QString()});
        diagram.view.Canvas().CompleteLink(1, 2);
        QCOMPARE(source->OptsAndActs(), QStringList{QStringLiteral("!GO _2")});
    }
};

KV_REGISTER_TEST(TestLinks)
#include "tst_Links.moc"
