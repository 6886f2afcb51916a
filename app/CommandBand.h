#pragma once

#include <QObject>
#include <QString>

#include <vector>

class CommandTool;

// A named menu, toolbar, docked window or the status bar, and the tools it shows in order.
// A menu may hold another menu band as a submenu.
class CommandBand : public QObject {
    Q_OBJECT
public:
    enum class Kind { Menu, Submenu, Popup, ToolBar, DockWindow, StatusBar };

    struct Entry {
        enum class Kind { Tool, Separator, Submenu };
        Kind kind = Kind::Tool;
        // The tool for Tool, and for a separator that comes and goes; null for a plain separator.
        CommandTool* tool = nullptr;
        QString submenu;
    };

    CommandBand(QString name, Kind kind, int captionId, bool visible);

    const QString& Name() const { return m_name; }
    Kind kind() const { return m_kind; }
    const QString& Caption() const { return m_caption; }
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    const std::vector<Entry>& Entries() const { return m_entries; }
    void AddEntry(Entry entry) { m_entries.push_back(std::move(entry)); }
    // The tools this band shows itself, not those of its submenus.
    bool Contains(int toolId) const;
    std::vector<CommandTool*> Tools() const;

    // The band's own caption; its tools load theirs.
    void LoadResources();

signals:
    void visibleChanged(bool visible);

private:
    QString m_name;
    Kind m_kind;
    int m_captionId;
    QString m_caption;
    bool m_visible;
    std::vector<Entry> m_entries;
};
