#include "views/DocumentPropertiesDialog.h"

#include "base/ResourceStrings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
constexpr int TitleId = 30020;
const QString Comments = QStringLiteral("Comments");
const QList<std::pair<QString, int>> LineFields{{QStringLiteral("Title"), 30021},
                                                {QStringLiteral("Subject"), 30022},
                                                {QStringLiteral("Author"), 30023},
                                                {QStringLiteral("Keywords"), 30024}};
constexpr int CommentsLabelId = 30025;
} // namespace

DocumentPropertiesDialog::DocumentPropertiesDialog(const QMap<QString, QString>& properties, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(LoadResString(TitleId));
    auto* form = new QFormLayout(this);
    for (const auto& [name, labelId] : LineFields) {
        auto* line = new QLineEdit(properties.value(name), this);
        form->addRow(LoadResString(labelId), line);
        m_lines.insert(name, line);
    }
    m_comments = new QPlainTextEdit(properties.value(Comments), this);
    form->addRow(LoadResString(CommentsLabelId), m_comments);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QMap<QString, QString> DocumentPropertiesDialog::properties() const
{
    QMap<QString, QString> values;
    for (auto line = m_lines.cbegin(); line != m_lines.cend(); ++line)
        values.insert(line.key(), line.value()->text());
    values.insert(Comments, m_comments->toPlainText());
    return values;
}
