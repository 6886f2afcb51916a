#include "views/CompareWindow.h"

#include "base/IPrompt.h"
#include "base/ResourceStrings.h"
#include "edit/CcDecisionTree.h"
#include "model/CmDecisionManager.h"
#include "project/Project.h"
#include "vcs/ProjectCapture.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 38002;
constexpr int CannotReadId = 38004;
constexpr int HeadingId = 38005;
constexpr int SameId = 38006;
constexpr int OpenUnreadableId = 38007;
constexpr int ControlRole = Qt::UserRole;

// Lines taken out in red and lines put in in green, as a diff reads.
QColor colourOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1String("- ")))
        return QColor(0xA0, 0x10, 0x10);
    if (trimmed.startsWith(QLatin1String("+ ")))
        return QColor(0x10, 0x70, 0x10);
    return {};
}
} // namespace

CompareWindow::CompareWindow(Project& open, IPrompt& prompt, QWidget* parent)
    : QWidget(parent, Qt::Window), m_open(open), m_prompt(prompt), m_heading(new QLabel(this)), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(LoadResString(TitleId));
    m_heading->setWordWrap(true);
    m_heading->setTextFormat(Qt::PlainText);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_heading->setBuddy(m_tree);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_tree);
    resize(640, 480);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        const int control = item->data(0, ControlRole).toInt();
        // A control the other file has and the open project lacks has nothing to select.
        if (control < 0 || !m_open.Decisions().Exists(QVariant(control)))
            return;
        m_open.Tree().SelectDecision(QVariant(control));
        emit controlChosen(control);
    });
}

bool CompareWindow::compareWith(const QString& path)
{
    const auto refuse = [&](const QString& text) {
        m_prompt.MessageBox(text, LoadResString(TitleId), PromptButtons::Ok, PromptIcon::Critical);
        return false;
    };
    // The other file is only read, in a project of its own; the open one keeps its state.
    ProjectData other;
    {
        Project otherProject(m_prompt);
        StorageResult read = otherProject.Inspect(path);
        if (read)
            read = ProjectCapture::Read(otherProject.Decisions(), otherProject.Document(), nullptr, other);
        if (!read)
            return refuse(LoadResString(CannotReadId).arg(QDir::toNativeSeparators(path), read.message));
    }
    ProjectData current;
    if (const StorageResult read = ProjectCapture::Read(m_open.Decisions(), m_open.Document(), &m_open.Canvas(), current); !read)
        return refuse(LoadResString(OpenUnreadableId).arg(read.message));
    showChanges(path, ProjectDiff::Entries(other, current));
    return true;
}

void CompareWindow::showChanges(const QString& other, const QList<ProjectDiff::Entry>& entries)
{
    const QString name = QFileInfo(other).fileName();
    m_heading->setText(entries.isEmpty() ? LoadResString(SameId).arg(name) : LoadResString(HeadingId).arg(name));
    m_tree->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(entries.size());
    for (const ProjectDiff::Entry& entry : entries) {
        auto* top = new QTreeWidgetItem(QStringList{entry.title});
        top->setData(0, ControlRole, entry.control);
        QFont bold = m_tree->font();
        bold.setBold(true);
        top->setFont(0, bold);
        for (const QString& line : entry.lines) {
            auto* child = new QTreeWidgetItem(top, QStringList{line});
            child->setData(0, ControlRole, entry.control);
            if (const QColor colour = colourOf(line); colour.isValid())
                child->setForeground(0, colour);
        }
        items.append(top);
    }
    m_tree->addTopLevelItems(items);
    m_tree->expandAll();
    show();
    raise();
    activateWindow();
}

QString CompareWindow::heading() const
{
    return m_heading->text();
}
