#pragma once

#include <QObject>
#include <QString>

// One menu item, toolbar button or status-bar pane. A tool with an id is one command, shown by
// every band that lists it; a tool with only a name (a separator that comes and goes, the status
// text, the progress bar) belongs to the one band that holds it.
class CommandTool : public QObject {
    Q_OBJECT
public:
    enum class Kind { Command, Separator, StatusText, Progress };

    // Tooltips and status help are numbered this far above the tool's id in the string table.
    static constexpr int ToolTipOffset = 2000;
    static constexpr int StatusHelpOffset = 4000;

    CommandTool(int id, QString name, Kind kind, bool checkable);

    int Id() const { return m_id; }
    const QString& Name() const { return m_name; }
    Kind kind() const { return m_kind; }
    bool Checkable() const { return m_checkable; }

    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QString& ToolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);
    const QString& StatusHelp() const { return m_statusHelp; }
    void setStatusHelp(const QString& statusHelp);

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool Checked() const { return m_checked; }
    void setChecked(bool checked);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    // Caption, tooltip and status help from the string table; a missing tooltip falls back to
    // the caption without its access key.
    void LoadResources();

signals:
    void changed();

private:
    template <typename T>
    void assign(T& field, const T& value);

    int m_id;
    QString m_name;
    Kind m_kind;
    bool m_checkable;
    QString m_caption;
    QString m_toolTip;
    QString m_statusHelp;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_visible = true;
};
