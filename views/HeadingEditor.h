#pragma once

#include <QWidget>

class QAction;
class QTextEdit;
class QToolBar;

// A control's page header as rich text, with the format bar ("barFormat"): bold, italic,
// underline and bullets, checked as the caret's text is. The header goes in and out as the
// tagged text the control stores.
class HeadingEditor : public QWidget {
    Q_OBJECT

public:
    enum class Format { Bold, Italic, Underline, Bullets };

    explicit HeadingEditor(QWidget* parent = nullptr);

    // Replaces the text; the editor counts as unchanged afterwards.
    void load(const QString& heading);
    QString heading() const;
    bool modified() const;
    void setModified(bool modified);

    QTextEdit* textEdit() const { return m_text; }
    QToolBar* formatBar() const { return m_bar; }
    QAction* action(Format format) const;

signals:
    // The keyboard left the text: what was typed is to be kept.
    void editingFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addFormat(Format format, int captionId, const QKeySequence& keys);
    void apply(Format format, bool on);
    void showFormat();

    QTextEdit* m_text = nullptr;
    QToolBar* m_bar = nullptr;
    QList<QAction*> m_actions;
};
