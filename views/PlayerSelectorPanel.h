#pragma once

#include <QWidget>

class QComboBox;
class QTreeWidget;
class RuntimeEngine;

// The items a selector still holds, in their order, and below them the removed ones, each with
// the control, option and !KILL line that removed it.
class PlayerSelectorPanel : public QWidget {
    Q_OBJECT

public:
    explicit PlayerSelectorPanel(const RuntimeEngine& engine, QWidget* parent = nullptr);

    void refresh();

private:
    const RuntimeEngine& m_engine;
    QComboBox* m_selectors;
    QTreeWidget* m_items;
};
