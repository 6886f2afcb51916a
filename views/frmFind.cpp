#include "views/frmFind.h"

#include "app/CView.h"
#include "base/ResourceStrings.h"
#include "edit/CcEdit.h"
#include "model/CmDocument.h"
#include "validate/CcValidation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

namespace {

constexpr int FindId = 13200;
constexpr int FindNextId = 13201;
constexpr int ReplaceId = 13202;
constexpr int ReplaceAllId = 13203;
constexpr int DirectionId = 13204;
constexpr int AreaId = 13205;
constexpr int WholeWordId = 13206;
constexpr int MatchCaseId = 13207;
constexpr int CancelId = 32603;
constexpr int FirstDirectionId = 12210;
constexpr int DirectionCount = 3;
constexpr int FirstAreaId = 12213;
constexpr int AreaCount = 6;

QComboBox* choices(int firstId, int count, int current, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (int i = 0; i < count; ++i)
        box->addItem(LoadResString(firstId + i));
    box->setCurrentIndex(current);
    return box;
}

QPushButton* button(int captionId, QWidget* parent)
{
    return new QPushButton(LoadResString(captionId), parent);
}

} // namespace

frmFind::frmFind(CcEdit& edit, QWidget* parent) : QWidget(parent), m_edit(edit)
{
    setObjectName(QStringLiteral("frmFind"));
    m_search = new QLineEdit(this);
    m_replacement = new QLineEdit(this);
    m_direction = choices(FirstDirectionId, DirectionCount, edit.Request().direction, this);
    m_area = choices(FirstAreaId, AreaCount, edit.Request().area, this);
    m_wholeWord = new QCheckBox(LoadResString(WholeWordId), this);
    m_matchCase = new QCheckBox(LoadResString(MatchCaseId), this);
    m_status = new QLabel(this);
    QPushButton* findNext = button(FindNextId, this);
    QPushButton* replace = button(ReplaceId, this);
    QPushButton* replaceAll = button(ReplaceAllId, this);
    QPushButton* cancel = button(CancelId, this);
    findNext->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(LoadResString(FindId), this), 0, 0);
    layout->addWidget(m_search, 0, 1);
    layout->addWidget(new QLabel(LoadResString(ReplaceId), this), 1, 0);
    layout->addWidget(m_replacement, 1, 1);
    layout->addWidget(new QLabel(LoadResString(DirectionId), this), 2, 0);
    layout->addWidget(m_direction, 2, 1);
    layout->addWidget(new QLabel(LoadResString(AreaId), this), 3, 0);
    layout->addWidget(m_area, 3, 1);
    layout->addWidget(m_wholeWord, 4, 0);
    layout->addWidget(m_matchCase, 4, 1);
    layout->addWidget(findNext, 0, 2);
    layout->addWidget(replace, 1, 2);
    layout->addWidget(replaceAll, 2, 2);
    layout->addWidget(cancel, 3, 2);
    layout->addWidget(m_status, 5, 0, 1, 3);
    layout->setRowStretch(6, 1);

    connect(findNext, &QPushButton::clicked, this, &frmFind::FindNext);
    connect(m_search, &QLineEdit::returnPressed, this, &frmFind::FindNext);
    connect(replace, &QPushButton::clicked, this, &frmFind::Replace);
    connect(replaceAll, &QPushButton::clicked, this, &frmFind::ReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &frmFind::closeRequested);
    connect(&edit, &CcEdit::findShown, this, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    connect(&edit, &CcEdit::matchFound, this, &frmFind::showMatch);
    connect(&edit, &CcEdit::statusChanged, m_status, &QLabel::setText);
}

void frmFind::CheckReplacements(CcEdit& edit, const CmDecisionManager& decisions, const CmDocument& document)
{
    edit.setErrorCheck([&decisions, &document] {
        CcValidation validation(decisions, document);
        validation.setTargetsForFileType(document.FileType());
        validation.Validate();
        QStringList errors;
        for (const ValidationFindings::Entry& entry : validation.Findings().entries()) {
            if (entry.isError)
                errors.append(entry.location.isEmpty() ? entry.message : entry.message + QLatin1String(" (") + entry.location + QLatin1Char(')'));
        }
        return errors;
    });
}

QDockWidget& frmFind::MakeDock(QMainWindow& window, CcEdit& edit, CView& view)
{
    auto* dock = new QDockWidget(&window);
    dock->setObjectName(QLatin1String(BandName));
    auto* bar = new frmFind(edit, dock);
    dock->setWidget(bar);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    connect(bar, &frmFind::closeRequested, &view, [&view] { view.HideToolBar(QLatin1String(BandName)); });
    connect(&edit, &CcEdit::statusChanged, &view, &CView::SetStatus);
    return *dock;
}

QString frmFind::StatusText() const
{
    return m_status->text();
}

void frmFind::applyChoices()
{
    SearchRequest& request = m_edit.Request();
    request.text = m_search->text();
    request.replacement = m_replacement->text();
    request.direction = m_direction->currentIndex();
    request.area = m_area->currentIndex();
    request.options.wholeWord = m_wholeWord->isChecked();
    request.options.matchCase = m_matchCase->isChecked();
}

void frmFind::FindNext()
{
    const bool changed = m_edit.Request().text != m_search->text();
    applyChoices();
    // A new search text starts from the selected control, as Find does.
    if (changed)
        m_edit.Find();
    m_status->clear();
    m_edit.FindNext();
}

void frmFind::Replace()
{
    applyChoices();
    m_edit.Replace();
}

void frmFind::ReplaceAll()
{
    applyChoices();
    m_edit.ReplaceAll();
}

void frmFind::showMatch(const FoundMatch& match)
{
    m_status->setText(match.text);
}
