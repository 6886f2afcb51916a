#include "views/ExternalSelectorDialog.h"

#include "base/ResourceStrings.h"
#include "database/ExternalTables.h"
#include "database/SqlConnection.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int TitleId = 10930;
constexpr int FirstLabelId = 10931; // Table Name: ... Password: (10938)
constexpr int PasswordIndex = 7;
constexpr int FieldsId = 10939;
constexpr int FieldPromptId = 10940;
constexpr int FieldTitleId = 10941;
constexpr int OkId = 13000;
constexpr int CancelId = 13001;
constexpr int AddId = 13002;
constexpr int RemoveId = 13003;
constexpr int ApplyId = 13009;
constexpr int PasswordNoteId = 32206;
constexpr int PasswordTipId = 37060;
constexpr int TestConnectionId = 37061;
constexpr int ColumnsId = 37062;
constexpr int ConnectedId = 37063;
constexpr int LacksId = 37064;
constexpr int SaveFirstId = 37065;
} // namespace

ExternalSelectorDialog::ExternalSelectorDialog(ExternalSelectorSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_accessible(new QListWidget), m_columns(new QListWidget), m_result(new QLabel)
{
    setWindowTitle(LoadResString(TitleId));
    auto* form = new QFormLayout;
    for (int i = 0; i < int(m_fields.size()); ++i) {
        auto* field = new QLineEdit;
        m_fields.at(static_cast<size_t>(i)) = field;
        if (i != PasswordIndex) {
            form->addRow(LoadResString(FirstLabelId + i), field);
            continue;
        }
        field->setEchoMode(QLineEdit::Password);
        field->setToolTip(LoadResString(PasswordTipId));
        auto* note = new QLabel(LoadResString(PasswordNoteId));
        note->setWordWrap(true);
        auto* password = new QVBoxLayout;
        password->addWidget(field);
        password->addWidget(note);
        form->addRow(LoadResString(FirstLabelId + i), password);
    }

    auto* fieldsBox = new QGroupBox(LoadResString(FieldsId));
    auto* add = new QPushButton(LoadResString(AddId));
    auto* remove = new QPushButton(LoadResString(RemoveId));
    connect(add, &QPushButton::clicked, this, &ExternalSelectorDialog::addField);
    connect(remove, &QPushButton::clicked, this, [this] { delete m_accessible->currentItem(); });
    auto* fieldButtons = new QVBoxLayout;
    fieldButtons->addWidget(add);
    fieldButtons->addWidget(remove);
    fieldButtons->addStretch();
    auto* fieldsLayout = new QHBoxLayout(fieldsBox);
    fieldsLayout->addWidget(m_accessible);
    fieldsLayout->addLayout(fieldButtons);
    auto* columns = new QVBoxLayout;
    columns->addWidget(new QLabel(LoadResString(ColumnsId)));
    columns->addWidget(m_columns);
    fieldsLayout->addLayout(columns);
    connect(m_columns, &QListWidget::itemDoubleClicked, this, [this](const QListWidgetItem* column) {
        if (m_accessible->findItems(column->text(), Qt::MatchFixedString).isEmpty())
            m_accessible->addItem(column->text());
    });

    auto* test = new QPushButton(LoadResString(TestConnectionId));
    connect(test, &QPushButton::clicked, this, &ExternalSelectorDialog::TestConnection);
    m_result->setWordWrap(true);
    m_result->setTextFormat(Qt::PlainText);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(test);
    testRow->addWidget(m_result, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    buttons->button(QDialogButtonBox::Ok)->setText(LoadResString(OkId));
    buttons->button(QDialogButtonBox::Cancel)->setText(LoadResString(CancelId));
    buttons->button(QDialogButtonBox::Apply)->setText(LoadResString(ApplyId));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &ExternalSelectorDialog::Apply);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(fieldsBox);
    layout->addLayout(testRow);
    layout->addWidget(buttons);
    LoadData(session.settings);
}

void ExternalSelectorDialog::LoadData(const ExternalSelectorSettings& settings)
{
    const auto values = settings.FixedLines();
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields.at(i)->setText(*values.at(i));
    m_accessible->clear();
    m_accessible->addItems(settings.fields);
}

ExternalSelectorSettings ExternalSelectorDialog::Settings() const
{
    ExternalSelectorSettings settings;
    const auto values = settings.FixedLines();
    for (size_t i = 0; i < m_fields.size(); ++i)
        *values.at(i) = m_fields.at(i)->text();
    for (int row = 0; row < m_accessible->count(); ++row)
        settings.fields.append(m_accessible->item(row)->text());
    return settings;
}

bool ExternalSelectorDialog::Apply()
{
    return m_session.apply && m_session.apply(Settings());
}

void ExternalSelectorDialog::addField()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, LoadResString(FieldTitleId), LoadResString(FieldPromptId),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok && !name.isEmpty())
        m_accessible->addItem(name);
}

bool ExternalSelectorDialog::TestConnection()
{
    const ExternalSelectorSettings settings = Settings();
    // Read from anywhere else, a relative file would seem to work here and fail where the tree runs.
    if (m_session.baseFolder.isEmpty() && SqlConnection::kindOf(settings.driverName) == SqlConnection::Kind::Sqlite
        && QDir::isRelativePath(settings.database)) {
        m_columns->clear();
        m_result->setText(LoadResString(SaveFirstId).arg(settings.database));
        return false;
    }
    ExternalTables::Options options;
    options.baseFolder = m_session.baseFolder;
    QStringList missing;
    QStringList columns;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = ExternalTables::check(settings, options, missing, error, &columns);
    QApplication::restoreOverrideCursor();
    m_columns->clear();
    if (!connected) {
        m_result->setText(error);
        return false;
    }
    m_columns->addItems(columns);
    m_result->setText(missing.isEmpty() ? LoadResString(ConnectedId).arg(settings.table).arg(columns.size())
                                        : LoadResString(LacksId).arg(settings.table, missing.join(QLatin1String(", "))));
    return true;
}

QString ExternalSelectorDialog::TestResult() const
{
    return m_result->text();
}
