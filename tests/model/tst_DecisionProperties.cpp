#include "DecisionRecipe.h"
#include "common/TestRegistry.h"

#include "base/StartUpTables.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/DecisionDataConversion.h"
#include "model/DecisionProperties.h"
#include "model/ChangeRecorder.h"
#include "model/CmDecisionManager.h"
#include "model/IDecisionPropertyOwner.h"

#include <QHash>
#include <QTest>

using namespace MDecisionDataUtil;

namespace {

// Stands in for the diagram and the tree editing.
class FakeOwner : public IDecisionPropertyOwner {
public:
    QString OwnedProperty(const CmDecisionItem&, int labelId) const override { return values.value(labelId); }
    bool SetOwnedProperty(CmDecisionItem&, int labelId, const QString& value) override
    {
        if (!refuse)
            values.insert(labelId, value);
        return !refuse;
    }
    QHash<int, QString> values;
    bool refuse = false;
};


} // namespace

class TestDecisionProperties : public QObject {
    Q_OBJECT

    CmDecisionManager m_decisions;

private slots:
    void initTestCase()
    {
        StartUpTables::Fill();
        for (const char* recipe :
             {"id=1;name=Welcome", "id=2;name=Budget", "id=3", "id=4;name=Colour;group=Welcome,3", "id=0;name=Hidden"})
            m_decisions.add(DecisionRecipe::build(QString::fromLatin1(recipe).split(QLatin1Char(';'))));
    }

    void writes_data()
    {
        QTest::addColumn<QString>("recipe");
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QString>("defaultValue");
        QTest::newRow("displayed controls") << "name=Me;group=Old" << int(DisplayedControlsLabel) << "Welcome,,ME,3"
                                            << true << "Welcome,_3" << "";
        QTest::newRow("help id too large") << "help=5" << int(HelpIdLabel) << "70000" << false << "5" << "";
        QTest::newRow("to check keeps a yes") << "default=Checked" << int(InputInterfaceLabel) << "check" << true
                                              << "Check" << "TRUE";
        QTest::newRow("unknown interface") << "default=Red" << int(InputInterfaceLabel) << "Dial" << false << "Radio"
                                           << "Red";
        QTest::newRow("name without its owner") << "name=Me" << int(ControlNameLabel) << "You" << false << "Me" << "";
    }
    void writes()
    {
        QFETCH(QString, recipe);
        QFETCH(int, label);
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        QFETCH(QString, readBack);
        QFETCH(QString, defaultValue);
        const auto decision = DecisionRecipe::build(("id=6;" + recipe).split(';', Qt::SkipEmptyParts));
        const QString before = StoreDecision(*decision, nullptr);
        QCOMPARE(SetProperty(*decision, label, value), accepted);
        QCOMPARE(GetProperty(*decision, label, &m_decisions), readBack);
        QCOMPARE(decision->DefaultValue().toString(), defaultValue);
        if (!accepted)
            QCOMPARE(StoreDecision(*decision, nullptr), before);
    }

    void ownedPropertiesGoThroughTheirOwner()
    {
        FakeOwner diagram;
        FakeOwner tree;
        const PropertyOwners owners{&tree, &diagram};
        const auto decision = DecisionRecipe::build({"id=6", "name=Me"});
        diagram.values.insert(SizeLabel, QStringLiteral("75"));
        QCOMPARE(GetProperty(*decision, SizeLabel, nullptr, owners), QStringLiteral("Medium"));
        QVERIFY(SetProperty(*decision, SizeLabel, QStringLiteral("large"), owners));
        QVERIFY(!SetProperty(*decision, SizeLabel, QStringLiteral("Huge"), owners));
        QCOMPARE(diagram.values.value(SizeLabel), QStringLiteral("150"));
        QVERIFY(!SetProperty(*decision, TopLabel, QStringLiteral("10"), PropertyOwners{&tree, nullptr}));

        QVERIFY(SetProperty(*decision, ControlNameLabel, QStringLiteral("You"), owners));
        QCOMPARE(tree.values.value(ControlNameLabel), QStringLiteral("You"));
        tree.refuse = true;
        QVERIFY(!SetProperty(*decision, ControlNameLabel, QStringLiteral("2Bad"), owners));
        // Without owners the size reads as nothing and the name cannot be written.
        QCOMPARE(GetProperty(*decision, SizeLabel, nullptr), QString());
        QVERIFY(!SetProperty(*decision, ControlNameLabel, QStringLiteral("Other")));
        QCOMPARE(GetProperty(*decision, ControlNameLabel, nullptr), QStringLiteral("Me"));
    }

    void aChangeIsOneUndoStep()
    {
        CmDecisionManager decisions;
        CmDecisionItem& decision = ChangeRecorder::hold(decisions, DecisionRecipe::build({"id=6", "caption=Old"}));
        ChangeRecorder recorder(decisions);
        QVERIFY(SetProperty(decision, CaptionLabel, QStringLiteral("New")));
        QVERIFY(SetProperty(decision, CaptionLabel, QStringLiteral("New")));
        QCOMPARE(recorder.events, QStringList{QStringLiteral("changed property 6 8006|Old -> 8006|New")});
    }

    void lookups()
    {
        QCOMPARE(GetDefault(*DecisionRecipe::build({"type=Command", "default=not pushed"})), QStringLiteral("FALSE"));
        QCOMPARE(GetDefault(*DecisionRecipe::build({"type=Check", "default=maybe"})), QStringLiteral("FALSE"));
        QCOMPARE(GetDefault(*DecisionRecipe::build({"type=NumBox", "default=seven"})), QString());
        QCOMPARE(GetDecisionName(QStringLiteral("2"), m_decisions), QStringLiteral("Budget"));
        QCOMPARE(GetDecisionName(qint16(3), m_decisions), QStringLiteral("_3"));
        QCOMPARE(GetNotIncluded(*m_decisions.Item(QStringLiteral("Colour")), m_decisions), QStringList{"Budget"});
    }
};

KV_REGISTER_TEST(TestDecisionProperties)
#include "tst_DecisionProperties.moc"
