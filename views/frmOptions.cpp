#include "views/frmOptions.h"

#include "app/ToolId.h"
#include "base/AccessKey.h"
#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "model/MDecisionDataUtil.h"
#include "views/TestModeOptionsPage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int titleId = 33670;
constexpr int diagramPageId = 33671;
constexpr int editingPageId = 33672;
constexpr int testModePageId = 33673;
constexpr int printingPageId = 33674;
constexpr int lineStyleId = 33675;
constexpr int entitySizeId = 33679;
constexpr int newControlTypeId = 33680;
constexpr int gridSpacingId = 33681;
constexpr int snapDistanceId = 33682;
constexpr int toolTipId = 33689;
constexpr int linkAlwaysId = 33690;
constexpr int linkWhenId = 33691;
constexpr int spellPropertiesId = 33692;
constexpr int spellSelectorsId = 33693;
constexpr int spellCompileId = 33694;
constexpr int imagePathId = 33695;
constexpr int wizardOnNewId = 33696;
constexpr int diagramOnOpenId = 33697;
constexpr int printSummaryId = 33698;
constexpr int printThumbnailId = 33699;
constexpr int analyzePathsId = 33676;
constexpr int gridLinesId = 33593;
constexpr int leftClickId = 33594;
constexpr int printEachControlId = 33595;
constexpr int notYetId = 33596;
constexpr int colourTitleId = 33597;
constexpr int imageFolderTitleId = 33599;
constexpr int builderId = 33574;
constexpr int browseId = 32412;
constexpr int okId = 32602;
constexpr int cancelId = 32603;
constexpr int snapToGridId = +ToolId::SnapToGrid;
constexpr int firstLineStyleId = +ToolId::StraightLines;
constexpr int firstEntitySizeId = +ToolId::SizeSmall;
constexpr int selectToolId = +ToolId::SelectControl;
constexpr int drawToolId = +ToolId::DrawControl;
constexpr int applyId = 33598;

constexpr int entitySizes = 3;
constexpr int lineStyles = 3;
constexpr int maximumGridSpacing = 400;

QString text(int id)
{
    return LoadResString(id);
}

// A menu caption shown as a list entry, without its access key.
QString listText(int id)
{
    return WithoutAccessKey(text(id));
}

// A preference of a feature the program does not have yet stays as stored.
void offerIf(bool available, std::initializer_list<QWidget*> widgets)
{
    for (QWidget* widget : widgets) {
        widget->setEnabled(available);
        if (!available)
            widget->setToolTip(text(notYetId));
    }
}

QSpinBox* spinBox(int value, int minimum, int maximum, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QCheckBox* checkBox(int id, bool checked, QWidget* parent)
{
    auto* box = new QCheckBox(text(id), parent);
    box->setChecked(checked);
    return box;
}

} // namespace

frmOptions::frmOptions(const ViewSettings& settings, const QStringList& controlNames, const Features& features,
                       IPrompt& prompt, Apply onApply, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompt(prompt), m_apply(std::move(onApply))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(text(titleId));
    m_pages = new QTabWidget(this);
    m_pages->addTab(diagramPage(features), text(diagramPageId));
    m_pages->addTab(editingPage(features), text(editingPageId));
    m_testMode = new TestModeOptionsPage(settings.TestMode, controlNames, this);
    m_pages->addTab(m_testMode, text(testModePageId));
    m_pages->addTab(printingPage(features), text(printingPageId));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(text(okId), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(cancelId), QDialogButtonBox::RejectRole);
    QPushButton* applyButton = buttons->addButton(text(applyId), QDialogButtonBox::ApplyRole);
    connect(applyButton, &QPushButton::clicked, this, &frmOptions::apply);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
}

QWidget* frmOptions::diagramPage(const Features& features)
{
    const DiagramSettings& diagram = m_settings.Diagram;
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    m_lineStyle = new QComboBox(page);
    for (int i = 0; i < lineStyles; ++i)
        m_lineStyle->addItem(listText(firstLineStyleId + i));
    m_lineStyle->setCurrentIndex(std::clamp(diagram.LineStyle, 0, lineStyles - 1));
    m_entitySize = new QComboBox(page);
    for (int i = 0; i < entitySizes; ++i)
        m_entitySize->addItem(listText(firstEntitySizeId + i));
    m_entitySize->setCurrentIndex(std::clamp(diagram.EntitySize, 0, entitySizes - 1));
    m_newControlType = new QComboBox(page);
    for (qint16 type = 0; type < MDecisionDataUtil::ControlTypeCount; ++type)
        m_newControlType->addItem(MDecisionDataUtil::ControlDisplayName(type), int(type));
    m_newControlType->setCurrentIndex(std::max(0, m_newControlType->findData(diagram.CurrentCTL)));
    m_leftClick = new QComboBox(page);
    m_leftClick->addItem(listText(selectToolId));
    m_leftClick->addItem(listText(drawToolId));
    m_leftClick->setCurrentIndex(diagram.LeftClickCommand == 0 ? 0 : 1);
    m_gridLines = checkBox(gridLinesId, diagram.GridLines, page);
    m_snapToGrid = checkBox(snapToGridId, diagram.SnapToGrid, page);
    m_gridSpacing = spinBox(diagram.GridSpacing, 1, maximumGridSpacing, page);
    m_snapDistance = spinBox(diagram.SnapDistance, 1, maximumGridSpacing, page);
    m_toolTip = checkBox(toolTipId, diagram.ToolTip, page);
    // Named for the settings they show.
    m_lineStyle->setObjectName(QStringLiteral("LineStyle"));
    m_entitySize->setObjectName(QStringLiteral("EntitySize"));
    m_newControlType->setObjectName(QStringLiteral("CurrentCTL"));
    m_leftClick->setObjectName(QStringLiteral("LeftClickCommand"));
    m_gridSpacing->setObjectName(QStringLiteral("GridSpacing"));
    m_snapDistance->setObjectName(QStringLiteral("SnapDistance"));
    form->addRow(text(lineStyleId), m_lineStyle);
    form->addRow(text(entitySizeId), m_entitySize);
    form->addRow(text(newControlTypeId), m_newControlType);
    form->addRow(text(leftClickId), m_leftClick);
    form->addRow(m_gridLines);
    form->addRow(m_snapToGrid);
    form->addRow(text(gridSpacingId), m_gridSpacing);
    form->addRow(text(snapDistanceId), m_snapDistance);
    form->addRow(m_toolTip);

    m_colours = {{"BackColor", 33683, &DiagramSettings::BackColor},   {"EntityColor", 33684, &DiagramSettings::EntityColor},
                 {"TextColor", 33685, &DiagramSettings::TextColor},   {"GroupColor", 33686, &DiagramSettings::GroupColor},
                 {"GridColor", 33687, &DiagramSettings::GridColor},   {"LinkColor", 33688, &DiagramSettings::LinkColor}};
    auto* colours = new QGridLayout();
    int index = 0;
    for (Colour& colour : m_colours) {
        colour.rgb = diagram.*colour.value;
        colour.button = new QPushButton(text(colour.labelId), page);
        colour.button->setObjectName(QLatin1String(colour.field));
        showColour(colour);
        connect(colour.button, &QPushButton::clicked, this, [this, &colour] { chooseColour(colour); });
        colours->addWidget(colour.button, index / 3, index % 3);
        ++index;
    }
    offerIf(features.groups, {colourButton(QStringLiteral("GroupColor"))});
    form->addRow(colours);

    m_linkAlways = new QRadioButton(text(linkAlwaysId), page);
    m_linkWhen = new QRadioButton(text(linkWhenId), page);
    (diagram.LinkAlways ? m_linkAlways : m_linkWhen)->setChecked(true);
    m_linkExpression = new QLineEdit(diagram.LinkExpr, page);
    m_linkExpression->setObjectName(QStringLiteral("linkExpression"));
    auto* builder = new QPushButton(text(builderId), page);
    auto* expressionRow = new QHBoxLayout();
    expressionRow->addWidget(m_linkExpression, 1);
    expressionRow->addWidget(builder);
    form->addRow(m_linkAlways);
    form->addRow(m_linkWhen);
    form->addRow(expressionRow);
    const auto followChoice = [this, builder] {
        m_linkExpression->setEnabled(m_linkWhen->isChecked());
        builder->setEnabled(m_linkWhen->isChecked() && m_builder);
    };
    connect(m_linkWhen, &QRadioButton::toggled, this, followChoice);
    connect(builder, &QPushButton::clicked, this, [this] {
        if (!m_builder)
            return;
        if (const std::optional<QString> built = m_builder(this, m_linkExpression->text()))
            m_linkExpression->setText(*built);
    });
    followChoice();
    return page;
}

QWidget* frmOptions::editingPage(const Features& features)
{
    const EditingOptions& editing = m_settings.Editing;
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    m_spellProperties = checkBox(spellPropertiesId, editing.AutoSpellCheckProperties, page);
    m_spellSelectors = checkBox(spellSelectorsId, editing.AutoSpellCheckCL, page);
    m_spellCompile = checkBox(spellCompileId, editing.AutoSpellCheckCompile, page);
    offerIf(features.spelling, {m_spellProperties, m_spellSelectors, m_spellCompile});
    m_imagePath = new QLineEdit(editing.ImagePath, page);
    m_imagePath->setObjectName(QStringLiteral("imagePath"));
    auto* browse = new QPushButton(text(browseId), page);
    connect(browse, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> folder = m_prompt.FolderDialog(text(imageFolderTitleId), m_imagePath->text()))
            m_imagePath->setText(*folder);
    });
    auto* pathRow = new QHBoxLayout();
    pathRow->addWidget(m_imagePath, 1);
    pathRow->addWidget(browse);
    m_wizardOnNew = checkBox(wizardOnNewId, editing.StartDecisionBuilderOnNew, page);
    offerIf(features.controlWizard, {m_wizardOnNew});
    m_diagramOnOpen = checkBox(diagramOnOpenId, editing.StartDTEditorOnOpen, page);
    m_analyzePaths = checkBox(analyzePathsId, editing.AnalyzePathsOnValidate, page);
    form->addRow(m_spellProperties);
    form->addRow(m_spellSelectors);
    form->addRow(m_spellCompile);
    // A row of a layout gets no buddy from the form; the label needs one for its access key.
    auto* imagePathLabel = new QLabel(text(imagePathId), page);
    imagePathLabel->setBuddy(m_imagePath);
    form->addRow(imagePathLabel, pathRow);
    form->addRow(m_wizardOnNew);
    form->addRow(m_diagramOnOpen);
    form->addRow(m_analyzePaths);
    return page;
}

QWidget* frmOptions::printingPage(const Features& features)
{
    const PrintSelections& print = m_settings.Print;
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    const std::pair<bool PrintSelections::*, int> parts[] = {
        {&PrintSelections::Print_DTSummary, printSummaryId}, {&PrintSelections::Print_DTThumbnail, printThumbnailId}};
    const std::pair<bool PrintSelections::*, int> fields[] = {
        {&PrintSelections::Print_intID, 8001},    {&PrintSelections::Print_strID, 8002},
        {&PrintSelections::Print_Control, 8003},  {&PrintSelections::Print_Group, 8004},
        {&PrintSelections::Print_Picture, 8005},  {&PrintSelections::Print_Caption, 8006},
        {&PrintSelections::Print_Min, 8007},      {&PrintSelections::Print_Max, 8008},
        {&PrintSelections::Print_Default, 8009},  {&PrintSelections::Print_HelpID, 8010},
        {&PrintSelections::Print_HelpURL, 8014},  {&PrintSelections::Print_Heading, 32750},
        {&PrintSelections::Print_Options, 11004},
    };
    for (const auto& [field, id] : parts) {
        m_print.emplace_back(field, checkBox(id, print.*field, page));
        layout->addWidget(m_print.back().second);
    }
    auto* eachControl = new QGroupBox(text(printEachControlId), page);
    auto* grid = new QGridLayout(eachControl);
    int index = 0;
    for (const auto& [field, id] : fields) {
        m_print.emplace_back(field, checkBox(id, print.*field, eachControl));
        grid->addWidget(m_print.back().second, index / 2, index % 2);
        ++index;
    }
    layout->addWidget(eachControl);
    layout->addStretch();
    for (const auto& [field, box] : m_print)
        offerIf(features.printing, {box});
    return page;
}

QPushButton* frmOptions::colourButton(const QString& field) const
{
    for (const Colour& colour : m_colours) {
        if (field == QLatin1String(colour.field))
            return colour.button;
    }
    return nullptr;
}

void frmOptions::setColour(const QString& field, int rgb)
{
    for (Colour& colour : m_colours) {
        if (field == QLatin1String(colour.field)) {
            colour.rgb = rgb & 0xFFFFFF;
            showColour(colour);
        }
    }
}

void frmOptions::showColour(const Colour& colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(QColor::fromRgb(static_cast<QRgb>(colour.rgb)));
    colour.button->setIcon(QIcon(swatch));
}

void frmOptions::chooseColour(Colour& colour)
{
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(static_cast<QRgb>(colour.rgb)), this, text(colourTitleId));
    if (chosen.isValid())
        setColour(QLatin1String(colour.field), static_cast<int>(chosen.rgb() & 0xFFFFFF));
}

void frmOptions::showPage(PageIndex page)
{
    m_pages->setCurrentIndex(static_cast<int>(page));
}

ViewSettings frmOptions::settings() const
{
    ViewSettings chosen = m_settings;
    DiagramSettings& diagram = chosen.Diagram;
    diagram.LineStyle = m_lineStyle->currentIndex();
    diagram.EntitySize = m_entitySize->currentIndex();
    diagram.CurrentCTL = m_newControlType->currentData().toInt();
    diagram.LeftClickCommand = m_leftClick->currentIndex();
    diagram.GridLines = m_gridLines->isChecked();
    diagram.SnapToGrid = m_snapToGrid->isChecked();
    diagram.GridSpacing = m_gridSpacing->value();
    diagram.SnapDistance = m_snapDistance->value();
    diagram.ToolTip = m_toolTip->isChecked();
    for (const Colour& colour : m_colours)
        diagram.*colour.value = colour.rgb;
    diagram.LinkAlways = m_linkAlways->isChecked();
    diagram.LinkExpr = m_linkExpression->text();
    EditingOptions& editing = chosen.Editing;
    editing.AutoSpellCheckProperties = m_spellProperties->isChecked();
    editing.AutoSpellCheckCL = m_spellSelectors->isChecked();
    editing.AutoSpellCheckCompile = m_spellCompile->isChecked();
    editing.ImagePath = m_imagePath->text();
    editing.StartDecisionBuilderOnNew = m_wizardOnNew->isChecked();
    editing.StartDTEditorOnOpen = m_diagramOnOpen->isChecked();
    editing.AnalyzePathsOnValidate = m_analyzePaths->isChecked();
    chosen.TestMode = m_testMode->options();
    for (const auto& [field, box] : m_print)
        chosen.Print.*field = box->isChecked();
    return chosen;
}

void frmOptions::apply()
{
    m_settings = settings();
    if (m_apply)
        m_apply(m_settings);
}
