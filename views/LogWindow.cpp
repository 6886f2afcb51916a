#include "views/LogWindow.h"

#include "app/CView.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

namespace {

// The log keeps CR LF line ends; the text view wants LF.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

LogWindow::LogWindow(QWidget* parent) : QDockWidget(parent)
{
    // The dock carries its band's name, so the saved arrangement finds it again.
    setObjectName(QStringLiteral("barLog"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("frmLog"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWidget(m_text);
}

void LogWindow::follow(CView& view)
{
    m_text->setPlainText(forDisplay(view.GetLog()));
    connect(&view, &CView::logAppended, this, &LogWindow::append, Qt::UniqueConnection);
    connect(&view, &CView::logCleared, m_text, &QPlainTextEdit::clear, Qt::UniqueConnection);
}

QString LogWindow::text() const
{
    return m_text->toPlainText();
}

void LogWindow::append(const QString& text)
{
    QTextCursor end(m_text->document());
    end.movePosition(QTextCursor::End);
    end.insertText(forDisplay(text));
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}
