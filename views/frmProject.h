#pragma once

#include <QHash>
#include <QTimer>
#include <QTreeWidget>

#include <optional>
#include <vector>

class CmDecisionItem;
class CmDecisionManager;
class CvProject;

// The project explorer: the controls, the selectors stored in the project, the external
// selectors and the pictures, as four branches. Controls follow the decisions one event at a
// time, each found through its number; controls added in a run (a project read, a paste) join
// their branch together once the run is over. The other branches are short and are filled
// again from the project's lists.
class frmProject : public QTreeWidget {
    Q_OBJECT

public:
    enum class Branch { Controls, Selectors, ExternalSelectors, Pictures };

    explicit frmProject(const CmDecisionManager& decisions, QWidget* parent = nullptr);

    QTreeWidgetItem* branch(Branch which) const { return m_branches.at(static_cast<size_t>(which)); }
    // Null when the control is not listed (yet).
    QTreeWidgetItem* controlItem(qint16 key) const { return m_controls.value(key); }
    // What an entry stands for; the branches stand for nothing.
    static std::optional<Branch> branchOf(const QTreeWidgetItem& item);

    // Every control again, in the decisions' order.
    void showControls();
    void showSelected(const CmDecisionItem* decision);
    void showProjectLists(const CvProject& project);
    // Lists the controls still waiting to join their branch.
    void flush();

signals:
    // The author moved to a control in the list.
    void controlSelected(qint16 key);
    void controlOpened(qint16 key);
    void selectorOpened(const QString& name);
    void pictureOpened(const QString& name);
    // A right click on a selector or on a selector branch.
    void selectorMenuRequested(const QString& name, const QPoint& globalPosition);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow();
    QTreeWidgetItem* makeControlItem(const CmDecisionItem& decision);
    void addControl(const CmDecisionItem& decision);
    void renameControl(const CmDecisionItem& decision);
    void removeControl(const CmDecisionItem& decision);
    void clearControls();
    void fill(Branch which, const QStringList& names);
    void open(QTreeWidgetItem* item);

    const CmDecisionManager& m_decisions;
    std::vector<QTreeWidgetItem*> m_branches;
    QHash<qint16, QTreeWidgetItem*> m_controls;
    std::vector<qint16> m_pending;
    QTimer m_flush;
};
