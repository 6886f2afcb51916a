#include "common/ScriptedPrompt.h"
#include "common/TestRegistry.h"

#include "app/ViewSettings.h"
#include "compile/ICompileHost.h"
#include "model/CmDocument.h"
#include "edit/OptionsEditSession.h"
#include "lang/ISelectorCatalog.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/MDecisionDataUtil.h"
#include "views/DocumentPropertiesDialog.h"
#include "views/OptionsEditor.h"
#include "views/StatementPanel.h"
#include "views/frmExpressionBuilder.h"
#include "views/frmKVDCompile.h"
#include "views/frmKvwCompile.h"
#include "views/frmOptions.h"
#include "views/frmProperties.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <map>
#include <memory>

namespace {

class NoSelectors final : public ISelectorCatalog {
public:
    bool Exists(const QString&) const override { return false; }
    std::optional<QStringList> Properties(const QString&) const override { return QStringList(); }
    std::optional<QStringList> Items(const QString&) const override { return QStringList(); }
};

QString accessKey(const QString& caption)
{
    const QKeySequence alt = QKeySequence::mnemonic(caption);
    return alt.isEmpty() ? QString() : alt.toString();
}

// What keeps a keyboard user from a field of the window as it shows now: a label whose access
// key leads nowhere, a list entry that shows a menu's "&", and one key on two visible fields.
QStringList keyFaults(const QWidget& window, const QString& where)
{
    QStringList faults;
    std::map<QString, QString> taken;
    const auto take = [&](const QString& key, const QString& owner) {
        if (key.isEmpty())
            return;
        const auto [held, added] = taken.emplace(key, owner);
        if (!added && held->second != owner)
            faults << QStringLiteral("%1: %2 for both %3 and %4").arg(where, key, held->second, owner);
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString key = accessKey(label->text());
        if (!label->isVisible() || key.isEmpty())
            continue;
        const QWidget* buddy = label->buddy();
        const QWidget* target = buddy && buddy->focusProxy() ? buddy->focusProxy() : buddy;
        if (!target || !(target->focusPolicy() & Qt::TabFocus))
            faults << where + QStringLiteral(": the key of \"%1\" leads nowhere").arg(label->text());
        take(key, label->text());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible())
            take(accessKey(button->text()), button->text());
    }
    for (const QTabBar* bar : window.findChildren<QTabBar*>()) {
        for (int i = 0; bar->isVisible() && i < bar->count(); ++i)
            take(accessKey(bar->tabText(i)), bar->tabText(i));
    }
    for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
        const auto* parent = qobject_cast<const QWidget*>(shortcut->parent());
        if (parent && parent->isVisible() && shortcut->isEnabled())
            take(shortcut->key().toString(), QStringLiteral("shortcut ") + shortcut->key().toString());
    }
    for (const QComboBox* box : window.findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i) {
            if (!accessKey(box->itemText(i)).isEmpty())
                faults << where + QStringLiteral(": the list entry \"%1\" shows its access key").arg(box->itemText(i));
        }
    }
    return faults;
}

// Brings the page that holds the widget forward, through every tab page around it.
void reveal(QWidget* widget)
{
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(w);
    }
}

// The faults of every page of every tab widget of the window.
QStringList faultsOnEveryPage(QWidget& window)
{
    window.show();
    QStringList faults = keyFaults(window, window.objectName());
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            reveal(tabs->widget(i));
            faults << keyFaults(window, window.objectName() + QLatin1Char('/') + tabs->tabText(i));
        }
    }
    window.hide();
    faults.removeDuplicates();
    return faults;
}

} // namespace

// Every field of the option dialogs, the expression builder, the options editor and the
// properties window is reached by its access key, and no two fields shown together share one.
class TestWindowAccessKeys : public QObject {
    Q_OBJECT

private slots:
    void dialogs();
    void optionsEditorInEveryStatementKind();
};

void TestWindowAccessKeys::dialogs()
{
    ScriptedPrompt prompt;
    CmDecisionManager decisions;
    NoSelectors catalog;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<frmOptions>(ViewSettings(), QStringList{"A"}, frmOptions::Features{true, true, true, true},
                                                   prompt, frmOptions::Apply()));
    auto builder = std::make_unique<frmExpressionBuilder>(ExpressionBuilderSources{decisions, {"Cars"}, catalog, prompt});
    // The property alone is offered beside the selector's lists.
    builder->setItemSelector(QStringLiteral("Cars"));
    windows.push_back(std::move(builder));
    windows.push_back(std::make_unique<frmKvwCompile>(KvwCompileSettings(), QStringLiteral("/tmp"), prompt));
    windows.push_back(std::make_unique<DocumentPropertiesDialog>(QMap<QString, QString>(), nullptr));
    CmDocument document;
    document.setFileType(3);
    windows.push_back(std::make_unique<frmKVDCompile>(document));
    auto shown = std::make_unique<CmDecisionItem>();
    shown->setIntID(1);
    shown->setStrID(QStringLiteral("Shown"));
    CmDecisionItem* decision = shown.get();
    decisions.add(std::move(shown));
    PropertySheet sheet(decisions, nullptr, {});
    auto properties = std::make_unique<frmProperties>(sheet, prompt);
    properties->showDecision(decision);
    windows.push_back(std::move(properties));
    for (const std::unique_ptr<QWidget>& window : windows) {
        const QStringList faults = faultsOnEveryPage(*window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
}

void TestWindowAccessKeys::optionsEditorInEveryStatementKind()
{
    CmDecisionManager decisions;
    auto item = std::make_unique<CmDecisionItem>();
    item->setIntID(1);
    item->setStrID(QStringLiteral("Pick"));
    item->setIntControl(MDecisionDataUtil::Radio);
    item->setOptsAndActsAsRead({"^A", "!GO Pick"});
    CmDecisionItem* pick = item.get();
    decisions.add(std::move(item));
    OptionsEditSession session(decisions);
    session.Open(pick);
    OptionsEditor editor(session);
    editor.setObjectName(QStringLiteral("OptionsEditor"));
    QComboBox& kinds = *editor.statement()->kindBox();
    QStringList faults;
    for (int i = 0; i < kinds.count(); ++i) {
        kinds.setCurrentIndex(i);
        faults << faultsOnEveryPage(editor);
    }
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

KV_REGISTER_TEST(TestWindowAccessKeys)
#include "tst_WindowAccessKeys.moc"
