#include "views/frmCriteriaList.h"

#include "app/CView.h"
#include "selectors/CvCriteriaListManager.h"
#include "views/PropertyHeaderView.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString SelectorToolbar = QStringLiteral("barCriteriaList");
constexpr int ColumnWidth = 110;
} // namespace

frmCriteriaList::frmCriteriaList(CvCriteriaList& list, CvCriteriaListManager& manager, CView* view, QWidget* parent)
    : QWidget(parent), m_list(list), m_manager(manager), m_view(view), m_table(new QTableView(this)),
      m_editBox(new QLineEdit(m_table->viewport()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(list.Name());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    m_table->setHorizontalHeader(new PropertyHeaderView(m_table));
    m_table->setModel(&m_list);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_table->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->installEventFilter(this);
    m_editBox->hide();
    m_editBox->installEventFilter(this);

    connect(&m_list, &CvCriteriaList::nameChanged, this, &QWidget::setWindowTitle);
    connect(&m_list, &CvCriteriaList::currentCellChanged, this, &frmCriteriaList::followCurrentCell);
    connect(&m_list, &CvCriteriaList::selectionChanged, this, &frmCriteriaList::followSelection);
    connect(&m_list, &CvCriteriaList::editBoxChanged, this, &frmCriteriaList::followEditBox);
    connect(&m_list, &QAbstractItemModel::modelReset, this, [this] { followCurrentCell(m_list.CurrentRow(), m_list.CurrentColumn()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!m_following && current.isValid())
            m_list.setCurrentCell(current.row() + 1, current.column());
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmCriteriaList::takeSelection);
    // A click on a property name selects its column; one on an empty name edits it at once.
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_list.SelectColumn(column);
        if (m_list.Cell(0, column).isEmpty())
            m_list.DoubleClick();
    });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int column) {
        m_list.SelectColumn(column);
        m_list.DoubleClick();
    });
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this] { m_list.DoubleClick(); });
    connect(m_editBox, &QLineEdit::textEdited, &m_list, &CvCriteriaList::setEditText);
    connect(m_editBox, &QLineEdit::selectionChanged, this, [this] { m_list.setEditHasSelection(m_editBox->hasSelectedText()); });
    for (QScrollBar* bar : {m_table->horizontalScrollBar(), m_table->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &frmCriteriaList::placeEditBox);
    followCurrentCell(m_list.CurrentRow(), m_list.CurrentColumn());
}

void frmCriteriaList::Activated()
{
    m_manager.SetActiveList(m_list.Name());
    if (!m_view)
        return;
    m_view->SetActiveWindow(WindowName());
    m_view->HideToolBar(QStringLiteral("barDecisionTree"));
    m_view->ShowToolBar(SelectorToolbar);
    m_view->UpdateAllBands();
}

void frmCriteriaList::followCurrentCell(int row, int column)
{
    m_following = true;
    const QModelIndex cell = m_list.index(row - 1, column);
    m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
    m_table->scrollTo(cell);
    m_following = false;
    followSelection();
}

void frmCriteriaList::followSelection()
{
    if (m_following)
        return;
    m_following = true;
    const CvCriteriaList::CellRange range = m_list.Selection();
    const QItemSelection selection(m_list.index(range.top - 1, range.left), m_list.index(range.bottom - 1, range.right));
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_following = false;
}

void frmCriteriaList::takeSelection()
{
    if (m_following)
        return;
    const QModelIndexList selected = m_table->selectionModel()->selectedIndexes();
    const QModelIndex current = m_table->selectionModel()->currentIndex();
    if (selected.isEmpty() || !current.isValid())
        return;
    // The corner opposite the current cell of the selected rectangle.
    int top = current.row();
    int bottom = current.row();
    int left = current.column();
    int right = current.column();
    for (const QModelIndex& cell : selected) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    const int cornerRow = current.row() == top ? bottom : top;
    const int cornerColumn = current.column() == left ? right : left;
    m_following = true;
    m_list.setSelectionCorner(cornerRow + 1, cornerColumn);
    m_following = false;
}

void frmCriteriaList::placeEditBox()
{
    if (!m_editBox->isVisible())
        return;
    m_editBox->setGeometry(m_table->visualRect(m_list.index(m_list.CurrentRow() - 1, m_list.CurrentColumn())));
}

void frmCriteriaList::followEditBox(bool visible)
{
    if (!visible) {
        // Focus first: hiding the focused box would hand the focus on like a Tab key, and the
        // grid would take that as a move to the next cell.
        m_table->setFocus();
        m_editBox->hide();
        return;
    }
    m_editBox->setText(m_list.EditText());
    m_editBox->show();
    placeEditBox();
    m_editBox->setFocus();
    m_editBox->deselect();
    m_editBox->setCursorPosition(static_cast<int>(m_editBox->text().size()));
}

bool frmCriteriaList::gridKey(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Delete)
        return m_list.EditKeyCode(CvCriteriaList::KeyDelete);
    if (key.key() == Qt::Key_Backspace)
        return m_list.EditKeyCode(CvCriteriaList::KeyBack);
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    return text.size() == 1 && m_list.GridEdit(text.front());
}

bool frmCriteriaList::editBoxKey(const QKeyEvent& key)
{
    int code = 0;
    switch (key.key()) {
    case Qt::Key_Escape: code = CvCriteriaList::KeyEscape; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: code = CvCriteriaList::KeyReturn; break;
    case Qt::Key_Down: code = CvCriteriaList::KeyDown; break;
    case Qt::Key_Up: code = CvCriteriaList::KeyUp; break;
    case Qt::Key_Tab: code = CvCriteriaList::KeyTab; break;
    default: return false;
    }
    m_list.setEditText(m_editBox->text());
    return m_list.EditKeyCode(code);
}

bool frmCriteriaList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        m_list.setGotFocus(true);
    else if (event->type() == QEvent::FocusOut)
        m_list.setGotFocus(m_table->hasFocus() || m_editBox->hasFocus());
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == m_editBox)
        return editBoxKey(key);
    if (watched == m_table)
        return gridKey(key);
    return QWidget::eventFilter(watched, event);
}

void frmCriteriaList::Detach()
{
    // The editor is about to go: nothing may reach it any more.
    m_detached = true;
    m_table->removeEventFilter(this);
    m_editBox->removeEventFilter(this);
    m_editBox->disconnect();
    for (QObject* sender : std::initializer_list<QObject*>{m_table, m_table->selectionModel(), m_table->horizontalHeader(),
                                                          m_table->horizontalScrollBar(), m_table->verticalScrollBar()})
        disconnect(sender, nullptr, this, nullptr);
}

void frmCriteriaList::closeEvent(QCloseEvent* event)
{
    if (!m_detached) {
        m_list.CommitEdit();
        if (m_list.Dirty())
            m_list.Save();
        const QString name = m_list.Name();
        Detach();
        // Removing the editor destroys it.
        m_manager.Remove(name);
    }
    if (m_view && m_manager.Count() == 0)
        m_view->HideToolBar(SelectorToolbar);
    event->accept();
}
