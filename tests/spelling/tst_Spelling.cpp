#include "common/TestRegistry.h"

#include "model/CmDecisionItem.h"
#include "persist/FileBytes.h"
#include "model/CmDecisionManager.h"
#include "spelling/ProjectSpelling.h"
#include "spelling/SpellCheckSession.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellHighlighter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <sys/stat.h>

namespace {

using Field = SpellingFinding::Field;

// A dictionary of a few words, made for the test, so that what is known does not depend on
// the machine.
struct PlantedDictionary {
    QTemporaryDir folder;
    QString wordList = folder.filePath(QStringLiteral("user/words.txt"));

    PlantedDictionary()
    {
        write(QStringLiteral("xx_TEST.aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz'\n");
        write(QStringLiteral("xx_TEST.dic"),
              "12\nhello\nworld\nwhat\nis\nyour\nage\nyes\nno\nanswer\nhere\nbold\ndon't\n");
    }

    void write(const QString& name, const QByteArray& text) const
    {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }

    bool load(SpellChecker& checker) const { return checker.Load(QStringLiteral("xx_TEST"), {folder.path()}, wordList); }
};

CmDecisionItem* addControl(CmDecisionManager& decisions, qint16 number, const QString& name)
{
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(number);
    item->setStrID(name);
    CmDecisionItem* added = item.get();
    return decisions.add(std::move(item)) ? added : nullptr;
}

QStringList wordsOf(const QString& text)
{
    QStringList words;
    for (const SpellChecker::Span& span : SpellChecker::Words(text))
        words.append(text.mid(span.start, span.length));
    return words;
}

} // namespace

class TestSpelling : public QObject {
    Q_OBJECT

private slots:
    void readsOnlyTheWordsWorthChecking_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << QStringLiteral("What is your age?") << QStringList{"What", "is", "your", "age"};
        QTest::newRow("references") << QStringLiteral("Hello [[Frist Name]], hi") << QStringList{"Hello", "hi"};
        QTest::newRow("header tags") << QStringLiteral("<B>Bold</B> and <i>it</i>") << QStringList{"Bold", "and", "it"};
        QTest::newRow("escaped bracket") << QStringLiteral("a \\<B> b") << QStringList{"a", "B", "b"};
        QTest::newRow("joined to digits") << QStringLiteral("abc123 x2y ok_go fine") << QStringList{"fine"};
        QTest::newRow("capitals") << QStringLiteral("NASA and USB sticks") << QStringList{"and", "sticks"};
        QTest::newRow("apostrophes") << QStringLiteral("don't 'quote' it’s") << QStringList{"don't", "quote", "it’s"};
        QTest::newRow("addresses") << QStringLiteral("see https://exmple.org/teh or me@hmoe.net now")
                                   << QStringList{"see", "or", "now"};
        QTest::newRow("other scripts") << QStringLiteral("Grüße, Åsa") << QStringList{"Grüße", "Åsa"};
    }

    void readsOnlyTheWordsWorthChecking()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(wordsOf(text), words);
    }

    void findsThePlantedMisspellingsAndNotTheCorrectWords()
    {
        PlantedDictionary dictionary;
        SpellChecker checker;
        QVERIFY2(dictionary.load(checker), qPrintable(checker.Problem()));
        QCOMPARE(checker.Language(), QStringLiteral("xx_TEST"));
        QVERIFY(checker.IsCorrect(QStringLiteral("world")));
        QVERIFY(checker.IsCorrect(QStringLiteral("Hello")));
        QVERIFY(!checker.IsCorrect(QStringLiteral("wrold")));
        QVERIFY(checker.Suggest(QStringLiteral("wrold")).contains(QStringLiteral("world")));

        CmDecisionManager decisions;
        CmDecisionItem* first = addControl(decisions, 1, QStringLiteral("Age"));
        first->setCaption(QStringLiteral("What is yuor age?"));
        first->setHeading(QStringLiteral("<B>Hello</B> wrold"));
        first->setOptsAndActs({QStringLiteral("^Yes"), QStringLiteral("!GO Nowhere"), QStringLiteral("^Noo"),
                               QStringLiteral("?Anser here")});
        CmDecisionItem* second = addControl(decisions, 2, QString());
        second->setCaption(QStringLiteral("Hello world"));

        const QList<SpellingFinding> findings = ProjectSpelling::CheckAll(decisions, checker);
        QStringList listed;
        for (const SpellingFinding& finding : findings)
            listed << ProjectSpelling::Location(decisions, finding) + QStringLiteral(": ") + finding.word;
        QCOMPARE(listed, (QStringList{"Age.Caption: yuor", "Age.Header: wrold", "Age.Option: Noo", "Age.Help: Anser"}));
        // Positions are those of the text as stored.
        QCOMPARE(findings.at(1).start, 13);
        QCOMPARE(findings.at(2).line, 2);
        QCOMPARE(findings.at(2).start, 1);
    }

    void theDialogsStepsChangeTheProject()
    {
        PlantedDictionary dictionary;
        SpellChecker checker;
        QVERIFY(dictionary.load(checker));
        CmDecisionManager decisions;
        CmDecisionItem* control = addControl(decisions, 1, QStringLiteral("Q"));
        control->setCaption(QStringLiteral("Helo wrold, helo yuor wrold"));
        control->setOptsAndActs({QStringLiteral("^Yess"), QStringLiteral("?Zorp here")});

        SpellCheckSession session(decisions, checker);
        QCOMPARE(session.Next()->word, QStringLiteral("Helo"));
        QVERIFY(session.Replace(QStringLiteral("Hello")));
        QCOMPARE(control->Caption(), QStringLiteral("Hello wrold, helo yuor wrold"));
        // The check goes on after the replacement, in the changed text.
        QCOMPARE(session.Next()->start, 6);
        session.IgnoreAll();
        QCOMPARE(session.Next()->word, QStringLiteral("helo"));
        session.Ignore();
        QCOMPARE(session.Next()->word, QStringLiteral("yuor"));
        QVERIFY(session.Replace(QStringLiteral("your")));
        // "wrold" was ignored for the whole check.
        QCOMPARE(session.Next()->word, QStringLiteral("Yess"));
        QVERIFY(session.Replace(QStringLiteral("Yes")));
        QCOMPARE(control->OptsAndActs().first(), QStringLiteral("^Yes"));
        QCOMPARE(session.Next()->word, QStringLiteral("Zorp"));
        QVERIFY(session.Add());
        QVERIFY(!session.Next());
        QCOMPARE(session.Replaced(), 3);
        QCOMPARE(control->Caption(), QStringLiteral("Hello wrold, helo your wrold"));

        // The added word is the user's for good; the ignored one only for that check.
        SpellChecker later;
        QVERIFY(dictionary.load(later));
        QVERIFY(later.IsCorrect(QStringLiteral("Zorp")));
        QVERIFY(!later.IsCorrect(QStringLiteral("wrold")));
    }

    void aReplacementOverChangedTextIsRefused()
    {
        PlantedDictionary dictionary;
        SpellChecker checker;
        QVERIFY(dictionary.load(checker));
        CmDecisionManager decisions;
        CmDecisionItem* control = addControl(decisions, 1, QStringLiteral("Q"));
        control->setCaption(QStringLiteral("Helo"));
        SpellCheckSession session(decisions, checker);
        QVERIFY(session.Next());
        control->setCaption(QStringLiteral("Hi"));
        QVERIFY(!session.Replace(QStringLiteral("Hello")));
        QCOMPARE(control->Caption(), QStringLiteral("Hi"));
    }

    void withoutADictionaryNothingBreaks()
    {
        QTemporaryDir empty;
        SpellChecker checker;
        QVERIFY(!checker.Load(QStringLiteral("en_US"), {empty.path()}, empty.filePath(QStringLiteral("w.txt"))));
        QVERIFY(!checker.IsLoaded());
        QVERIFY2(checker.Problem().contains(empty.path()), qPrintable(checker.Problem()));
        QVERIFY(checker.IsCorrect(QStringLiteral("wrold")));
        QVERIFY(checker.Suggest(QStringLiteral("wrold")).isEmpty());

        CmDecisionManager decisions;
        addControl(decisions, 1, QStringLiteral("Q"))->setCaption(QStringLiteral("wrold"));
        QVERIFY(ProjectSpelling::CheckAll(decisions, checker).isEmpty());
        SpellCheckSession session(decisions, checker);
        QVERIFY(!session.Next());

        // A half dictionary (no .dic) is no dictionary either.
        QFile aff(empty.filePath(QStringLiteral("en_US.aff")));
        QVERIFY(aff.open(QIODevice::WriteOnly));
        aff.close();
        QVERIFY(!checker.Load(QStringLiteral("en_US"), {empty.path()}, QString()));
    }

    // What is at a dictionary's name is read only as a regular file within its size limit:
    // a folder, a named pipe (which would hold the read for good) or a file beyond the limit
    // is no dictionary, and the problem names it.
    void aDictionaryThatIsNoRegularFileIsRefused_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << ".dic" << "folder";
        QTest::newRow("named pipe") << ".dic" << "pipe";
        QTest::newRow("beyond the limit") << ".dic" << "large";
    }
    void aDictionaryThatIsNoRegularFileIsRefused()
    {
        QFETCH(QString, extension);
        QFETCH(QString, kind);
        PlantedDictionary planted;
        const QString path = planted.folder.filePath(QStringLiteral("xx_TEST") + extension);
        QVERIFY(QFile::remove(path));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(FileBytes::sizeLimit(FileBytes::Input::Dictionary) + 1));
        }
        SpellChecker checker;
        QVERIFY(!planted.load(checker));
        QVERIFY(!checker.IsLoaded());
        QVERIFY2(checker.Problem().contains(path), qPrintable(checker.Problem()));
    }

    // A word list that is a named pipe is neither waited on nor written over.
    void aWordListThatIsNoRegularFileIsLeftAlone()
    {
        PlantedDictionary planted;
        QVERIFY(QDir().mkpath(QFileInfo(planted.wordList).absolutePath()));
        QCOMPARE(::mkfifo(QFile::encodeName(planted.wordList).constData(), 0600), 0);
        SpellChecker checker;
        QVERIFY(planted.load(checker));
        QVERIFY(!checker.IsCorrect(QStringLiteral("wrold")));
        QVERIFY(!checker.AddWord(QStringLiteral("wrold")));
        QVERIFY(!QFileInfo(planted.wordList).isFile());

        // A regular list gains the word, and the next checker knows it.
        PlantedDictionary other;
        SpellChecker first;
        QVERIFY(other.load(first));
        QVERIFY(first.AddWord(QStringLiteral("wrold")));
        SpellChecker second;
        QVERIFY(other.load(second));
        QVERIFY(second.IsCorrect(QStringLiteral("wrold")));
    }

    void picksTheLanguagesDictionary_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("taken");
        QTest::newRow("exact") << QStringLiteral("de_AT") << QStringLiteral("de_AT");
        QTest::newRow("same language") << QStringLiteral("de_CH") << QStringLiteral("de_AT");
        QTest::newRow("fallback") << QStringLiteral("fr_FR") << QStringLiteral("en_US");
    }

    void picksTheLanguagesDictionary()
    {
        QFETCH(QString, wanted);
        QFETCH(QString, taken);
        QTemporaryDir folder;
        for (const QString& name : {QStringLiteral("aa_AA"), QStringLiteral("de_AT"), QStringLiteral("en_US")}) {
            for (const QString& extension : {QStringLiteral(".aff"), QStringLiteral(".dic")}) {
                QFile file(folder.filePath(name + extension));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(extension == QLatin1String(".dic") ? "1\nword\n" : "SET UTF-8\n");
            }
        }
        SpellChecker checker;
        QVERIFY(checker.Load(wanted, {folder.path()}, QString()));
        QCOMPARE(checker.Language(), taken);
    }

    void underlinesUnknownWordsAsTyped()
    {
        PlantedDictionary dictionary;
        SpellChecker checker;
        QVERIFY(dictionary.load(checker));
        QTextDocument document;
        // Laid out, as the document of an editor is; a document without a layout reports no edits.
        document.documentLayout();
        SpellHighlighter highlighter(&document, &checker);
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("hello wrold [[Nmae]]"));
        const auto underlined = [&] {
            QStringList words;
            const QString text = document.firstBlock().text();
            for (const QTextLayout::FormatRange& range : document.firstBlock().layout()->formats()) {
                // The desktop's theme decides how a spelling underline looks (a wave, usually).
                if (range.format.underlineStyle() != QTextCharFormat::NoUnderline)
                    words << text.mid(range.start, range.length);
            }
            return words;
        };
        QCOMPARE(underlined(), QStringList{"wrold"});
        cursor.insertText(QStringLiteral(" yess"));
        QCOMPARE(underlined(), (QStringList{"wrold", "yess"}));
        highlighter.setActive(false);
        QVERIFY(underlined().isEmpty());
        highlighter.setActive(true);
        QCOMPARE(underlined(), (QStringList{"wrold", "yess"}));
    }

    void theDesktopDictionaryKnowsEnglish()
    {
        SpellChecker checker;
        if (!checker.Load(QStringLiteral("en_US"), SpellChecker::DefaultFolders(), QString()) ||
            checker.Language() != QLatin1String("en_US"))
            QSKIP("no en_US dictionary installed (scripts/ensure-packages.sh installs one)");
        QVERIFY(checker.IsCorrect(QStringLiteral("receive")));
        QVERIFY(!checker.IsCorrect(QStringLiteral("recieve")));
        QVERIFY(checker.Suggest(QStringLiteral("recieve")).contains(QStringLiteral("receive")));
    }
};

KV_REGISTER_TEST(TestSpelling)
#include "tst_Spelling.moc"
