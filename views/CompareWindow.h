#pragma once

#include "vcs/ProjectDiff.h"

#include <QWidget>

class IPrompt;
class Project;
class QLabel;
class QTreeWidget;

// What changed between another project file and the open project, as `kestrova diff` tells it:
// one branch per control (or selector, picture, layout, ...) with its changed lines under it.
// Choosing a control's branch selects that control on the open project's diagram.
class CompareWindow final : public QWidget {
    Q_OBJECT
public:
    // The project must outlive the window.
    CompareWindow(Project& open, IPrompt& prompt, QWidget* parent = nullptr);

    // Reads the other file and shows what changed from it to the open project, unsaved changes
    // included (as `kestrova diff OTHER OPEN` tells it); false, after saying why, when either
    // cannot be read.
    bool compareWith(const QString& path);

    // other names the file compared with; no entries means the two are the same.
    void showChanges(const QString& other, const QList<ProjectDiff::Entry>& entries);
    QTreeWidget& tree() const { return *m_tree; }
    QString heading() const;

signals:
    void controlChosen(int control);

private:
    Project& m_open;
    IPrompt& m_prompt;
    QLabel* m_heading;
    QTreeWidget* m_tree;
};
