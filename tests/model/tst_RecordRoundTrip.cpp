#include "common/TestRegistry.h"

#include "base/StartUpTables.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"
#include "model/OptionRules.h"

#include <QRandomGenerator>
#include <QTest>

using namespace MDecisionDataUtil;

namespace {

constexpr int RecordCount = 10000;
constexpr quint32 FirstSeed = 19000;

// Builds one decision from random fields: every interface, limits and defaults in every number
// form, texts with quotes, commas, backslashes, TABs and line breaks, nested blocks and keywords
// written with blanks and in any case.
class RecordGenerator {
public:
    explicit RecordGenerator(quint32 seed) : m_random(seed) {}

    std::unique_ptr<CmDecisionItem> decision()
    {
        auto item = std::make_unique<CmDecisionItem>();
        const auto type = static_cast<qint16>(below(ControlTypeCount));
        item->setIntControl(type);
        item->setIntID(static_cast<qint16>(1 + below(32767)));
        item->setStrID(chance(4) ? QString() : name());
        item->setPicture(chance(2) ? QString() : text());
        item->setKvdHelpID(chance(2) ? qint16(0) : static_cast<qint16>(below(32768)));
        item->setHeading(text());
        item->setCaption(chance(3) ? QString() : text());
        QStringList group;
        for (int i = below(3); i > 0; --i)
            group.append(pick({"Intro", "Extras", "9", "42"}));
        item->setGroup(group);
        item->setDefaultValue(defaultValue(type));
        item->setMin(limit());
        item->setMax(limit());
        QStringList lines = block(type);
        ValidOptions(lines, type);
        item->setOptsAndActsAsRead(lines);
        return item;
    }

private:
    int below(int bound) { return static_cast<int>(m_random.bounded(bound)); }
    bool chance(int oneIn) { return below(oneIn) == 0; }
    QString pick(std::initializer_list<const char*> choices)
    {
        return QString::fromUtf8(*(choices.begin() + below(static_cast<int>(choices.size()))));
    }

    QString name()
    {
        QString text = pick({"A", "Budget", "x", "Q"});
        for (int i = below(4); i > 0; --i)
            text += pick({"a", "Z", "_", "7"});
        return text;
    }

    QString text()
    {
        QString result;
        for (int i = below(8); i > 0; --i)
            result += pick({"a", "Word", " ", ",", "\"", "\\", "\\\"", "\t", "\r\n", "<B>", "&", "$", "^", "!", ";",
                            "-"});
        return result;
    }

    QString number()
    {
        return pick({"007", "1.50", "1e-7", "-1e-5", "+5", ".5", "5.", "-0", "12345678901234567891", "1E+3",
                     "-2.5e-3", "1e-400", "1e400", "10", "-32767"});
    }

    QString limit() { return chance(4) ? QString() : number(); }

    QVariant defaultValue(qint16 type)
    {
        switch (below(3)) {
        case 0: return QVariant();
        case 1: return number();
        default: break;
        }
        if (GetDataType(type) == BooleanData)
            return pick({"Checked", "Not Checked", "TRUE", "false", "Pushed"});
        return text().isEmpty() ? QStringLiteral("Red, \"dark\"") : text();
    }

    QString option(qint16 type)
    {
        if (GetDataType(type) == BooleanData)
            return pick({"Checked", "Not Checked", "Pushed", "Not Pushed", "TRUE", "false", "Maybe"});
        if (IsNumericInterface(type)) {
            const QString low = chance(3) ? QString() : number();
            const QString high = low.isEmpty() || chance(2) ? number() : chance(2) ? QString() : number();
            return low + pick({"-", " - "}) + high;
        }
        return pick({"Red", "Red, dark", "Say \"hi\"", "\"quoted\"", "a,b,c", "1-10", " 5 "}) + text().remove('\r');
    }

    QString keyword(const char* word)
    {
        QString written = QString::fromLatin1(word);
        if (chance(3))
            written = written.toLower();
        return QLatin1Char('!') + (chance(8) ? QStringLiteral(" ") : QString()) + written;
    }

    QString action()
    {
        switch (below(7)) {
        case 0: return keyword("GO") + pick({" Next", "  Intro", " FinishLink"});
        case 1: return keyword("SET") + " [[A]] = " + pick({"\"a, b\"", "\"say \"\"hi\"\"\"", "1e-5", "[[B]] + 1"});
        case 2:
            return keyword("SORT") + pick({" Cars: Price, Weight; ", " Cars : Price; ", " L:P;"})
                   + pick({"Ascending, Descending", "descending", "True, false", "ASCENDING"});
        case 3: return keyword("KILL") + " Cars : Price > " + number();
        case 4: return keyword("CALL") + ' ' + text();
        case 5: return keyword("NOOP");
        default: return keyword("JUMP") +  " www.example.com/a,b?x=\"1\"";
        }
    }

    void actions(QStringList& lines, int depth)
    {
        for (int i = below(3); i > 0; --i) {
            if (depth < 3 && chance(3)) {
                lines.append(keyword("IF") + " [[A]] = \"x, y\"");
                actions(lines, depth + 1);
                if (chance(2)) {
                    lines.append(keyword("ELSEIF") + " [[B]] > " + number());
                    actions(lines, depth + 1);
                }
                if (chance(2)) {
                    lines.append(keyword("ELSE"));
                    actions(lines, depth + 1);
                }
                lines.append(keyword("ENDIF"));
            } else {
                lines.append(action());
            }
        }
    }

    QStringList block(qint16 type)
    {
        QStringList lines;
        actions(lines, 0);
        for (int i = below(4); i > 0; --i) {
            lines.append(QLatin1Char('^') + option(type));
            actions(lines, 0);
            if (chance(3))
                lines.append(QLatin1Char('?') + text());
        }
        return lines;
    }

    QRandomGenerator m_random;
};

} // namespace

// Store, load and store again gives the same record, for every interface and any fields.
class TestRecordRoundTrip : public QObject {
    Q_OBJECT

    CmDecisionManager m_decisions;

private slots:
    void initTestCase()
    {
        StartUpTables::Fill();
        const auto add = [this](qint16 id, const QString& name) {
            auto item = std::make_unique<CmDecisionItem>();
            item->setIntID(id);
            item->setStrID(name);
            QVERIFY(m_decisions.add(std::move(item)));
        };
        add(2, QStringLiteral("Intro"));
        add(7, QStringLiteral("Extras"));
    }

    void storeLoadStore()
    {
        for (quint32 seed = FirstSeed; seed < FirstSeed + RecordCount; ++seed) {
            const auto original = RecordGenerator(seed).decision();
            const QString record = StoreDecision(*original, &m_decisions);
            CmDecisionItem loaded;
            QVERIFY2(LoadDecision(loaded, record), qPrintable(QStringLiteral("seed %1").arg(seed)));
            const QString again = StoreDecision(loaded, &m_decisions);
            if (again != record)
                QFAIL(qPrintable(QStringLiteral("seed %1\nstored  %2\nagain   %3").arg(seed).arg(record, again)));
            const bool sameFields = loaded.Heading() == original->Heading() && loaded.Picture() == original->Picture()
                                    && loaded.DefaultValue().toString() == original->DefaultValue().toString()
                                    && (loaded.Caption() == original->Caption() || original->intControl() == Check);
            QVERIFY2(sameFields, qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(record)));
            if (IsNumericInterface(original->intControl()) && !HasOptions(*original)) {
                QCOMPARE(loaded.Min(), original->Min());
                QCOMPARE(loaded.Max(), original->Max());
            }
        }
    }
};

KV_REGISTER_TEST(TestRecordRoundTrip)
#include "tst_RecordRoundTrip.moc"
