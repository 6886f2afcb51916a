#include "views/PrintOptionsDialog.h"

#include "base/ResourceStrings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

constexpr int TitleId = 33782;
constexpr int PartsId = 33783;
constexpr int FieldsId = 33784;
constexpr int SummaryId = 33785;
constexpr int DiagramId = 33786;
constexpr int OnePageId = 33787;
constexpr int SelectorsId = 33788;
constexpr int PicturesId = 33789;
constexpr int HeaderId = 33746;
constexpr int OptionsId = 11004;

using P = PrintSelections;

} // namespace

PrintOptionsDialog::PrintOptionsDialog(const PrintSelections& selections, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPrintOptions"));
    setWindowTitle(LoadResString(TitleId));
    auto* layout = new QVBoxLayout(this);

    auto* parts = new QGroupBox(LoadResString(PartsId), this);
    auto* partsLayout = new QVBoxLayout(parts);
    partsLayout->addWidget(add(SummaryId, &P::Print_DTSummary, selections));
    partsLayout->addWidget(add(DiagramId, &P::Print_DTThumbnail, selections));
    QCheckBox* onePage = add(OnePageId, &P::Print_ThumbnailOnePage, selections);
    onePage->setContentsMargins(20, 0, 0, 0);
    partsLayout->addWidget(onePage);
    partsLayout->addWidget(add(SelectorsId, &P::Print_Selectors, selections));
    partsLayout->addWidget(add(PicturesId, &P::Print_Pictures, selections));
    layout->addWidget(parts);

    auto* fields = new QGroupBox(LoadResString(FieldsId), this);
    auto* grid = new QGridLayout(fields);
    const std::vector<std::pair<int, bool P::*>> fieldChoices{
        {8001, &P::Print_intID},   {8002, &P::Print_strID},     {8003, &P::Print_Control},
        {8006, &P::Print_Caption}, {HeaderId, &P::Print_Heading}, {8004, &P::Print_Group},
        {8005, &P::Print_Picture}, {8009, &P::Print_Default},   {8007, &P::Print_Min},
        {8008, &P::Print_Max},     {8010, &P::Print_HelpID},    {8014, &P::Print_HelpURL},
        {OptionsId, &P::Print_Options},
    };
    int place = 0;
    for (const auto& [textId, field] : fieldChoices) {
        grid->addWidget(add(textId, field, selections), place / 2, place % 2);
        ++place;
    }
    layout->addWidget(fields);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* PrintOptionsDialog::add(int textId, bool PrintSelections::*field, const PrintSelections& selections)
{
    auto* box = new QCheckBox(LoadResString(textId), this);
    box->setChecked(selections.*field);
    m_choices.push_back({field, box});
    return box;
}

PrintSelections PrintOptionsDialog::selections() const
{
    PrintSelections chosen;
    for (const Choice& choice : m_choices)
        chosen.*choice.field = choice.box->isChecked();
    return chosen;
}
