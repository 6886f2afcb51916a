#include "views/frmAddLink.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int TitleId = 11600;
constexpr int AlwaysId = 11601;
constexpr int ConditionalId = 11602;
constexpr int ByOptionId = 11603;
constexpr int ByExpressionId = 11604;
constexpr int ExplanationId = 11605;
constexpr int NoOptionsId = 11606;
constexpr int OkId = 32602;
constexpr int CancelId = 32603;
constexpr int OptionBuilderId = 32604;

} // namespace

frmAddLink::frmAddLink(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddLink"));
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(LoadResString(ExplanationId), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    m_always = new QRadioButton(LoadResString(AlwaysId), this);
    m_conditional = new QRadioButton(LoadResString(ConditionalId), this);
    m_byOption = new QCheckBox(LoadResString(ByOptionId), this);
    m_options = new QListWidget(this);
    m_byExpression = new QCheckBox(LoadResString(ByExpressionId), this);
    m_expression = new QLineEdit(this);
    m_options->setObjectName(QStringLiteral("options"));
    m_expression->setObjectName(QStringLiteral("expression"));
    auto* builder = new QPushButton(LoadResString(OptionBuilderId), this);
    for (QWidget* widget : {static_cast<QWidget*>(m_always), static_cast<QWidget*>(m_conditional),
                            static_cast<QWidget*>(m_byOption), static_cast<QWidget*>(m_options),
                            static_cast<QWidget*>(m_byExpression), static_cast<QWidget*>(m_expression),
                            static_cast<QWidget*>(builder)})
        layout->addWidget(widget);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(LoadResString(OkId), QDialogButtonBox::AcceptRole);
    buttons->addButton(LoadResString(CancelId), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    m_always->setChecked(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        m_cancelled = false;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QAbstractButton* choice : {static_cast<QAbstractButton*>(m_always), static_cast<QAbstractButton*>(m_conditional),
                                    static_cast<QAbstractButton*>(m_byOption),
                                    static_cast<QAbstractButton*>(m_byExpression)})
        connect(choice, &QAbstractButton::toggled, this, &frmAddLink::Update);
    connect(m_options, &QListWidget::currentRowChanged, this, [this](int row) {
        // "{No Options}" stands for no option at all.
        if (row >= 0 && m_options->item(row)->data(Qt::UserRole).toBool())
            m_options->setCurrentRow(-1);
    });
    connect(builder, &QPushButton::clicked, this, [this] { emit optionBuilderRequested(m_expression); });
    Update();
}

void frmAddLink::LoadSourceDecision(const CmDecisionItem& decision)
{
    m_options->clear();
    m_options->addItems(BlockLine::OptionTexts(decision.OptsAndActs()));
    if (m_options->count() == 0) {
        auto* none = new QListWidgetItem(LoadResString(NoOptionsId), m_options);
        none->setData(Qt::UserRole, true);
    }
}

QString frmAddLink::LinkOption() const
{
    if (!m_conditional->isChecked() || !m_byOption->isChecked() || !m_options->currentItem()
        || m_options->currentItem()->data(Qt::UserRole).toBool())
        return QString();
    return m_options->currentItem()->text();
}

QString frmAddLink::LinkExpr() const
{
    return m_conditional->isChecked() && m_byExpression->isChecked() ? m_expression->text() : QString();
}

void frmAddLink::Update()
{
    const bool conditional = m_conditional->isChecked();
    m_byOption->setEnabled(conditional);
    m_byExpression->setEnabled(conditional);
    m_options->setEnabled(conditional && m_byOption->isChecked());
    m_expression->setEnabled(conditional && m_byExpression->isChecked());
    adjustSize();
}

void frmAddLink::Clear()
{
    m_expression->clear();
    m_options->setCurrentRow(-1);
    m_options->clearSelection();
}

void frmAddLink::Preset(const LinkPreferences& preferences)
{
    (preferences.LinkAlways ? m_always : m_conditional)->setChecked(true);
    m_byExpression->setChecked(!preferences.LinkExpr.isEmpty());
    m_expression->setText(preferences.LinkExpr);
    const QList<QListWidgetItem*> found = m_options->findItems(preferences.LinkOption, Qt::MatchExactly);
    m_byOption->setChecked(!preferences.LinkOption.isEmpty() && !found.isEmpty());
    if (!found.isEmpty() && !preferences.LinkOption.isEmpty())
        m_options->setCurrentItem(found.first());
    Update();
}

LinkAnswer QtLinkDialog::AskLink(const CmDecisionItem& source, const LinkPreferences& preferences)
{
    frmAddLink dialog(m_parent);
    if (m_builder) {
        QObject::connect(&dialog, &frmAddLink::optionBuilderRequested, &dialog, [this, &dialog](QLineEdit* expression) {
            if (const std::optional<QString> built = m_builder(&dialog, expression->text()))
                expression->setText(*built);
        });
    }
    dialog.Clear();
    dialog.LoadSourceDecision(source);
    dialog.Preset(preferences);
    dialog.Update();
    dialog.exec();
    return {dialog.Cancelled(), dialog.LinkOption(), dialog.LinkExpr()};
}
