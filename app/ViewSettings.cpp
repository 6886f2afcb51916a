#include "app/ViewSettings.h"

#include "app/CRegistry.h"
#include "base/KvError.h"
#include "base/ProcedureBoundary.h"

#include <limits>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

constexpr int errOverflow = 6;
constexpr int errTypeMismatch = 13;

const QString ViewSection = QStringLiteral("View");
const QString PrintSection = QStringLiteral("View\\PrintSettings");

// One stored value and the field that holds it; const when saving, so one table serves both.
template <typename Settings>
struct Field {
    template <typename T>
    using Target = std::conditional_t<std::is_const_v<Settings>, const T*, T*>;

    const QString& section;
    const char* name;
    std::variant<Target<int>, Target<bool>, Target<QString>> target;
};

// The store's name of each value is the name of its field.
#define KV_VALUE(section, group, field) Field<Settings>{section, #field, &settings.group.field}

template <typename Settings>
std::vector<Field<Settings>> fieldsOf(Settings& settings)
{
    return {
        KV_VALUE(ViewSection, MainWindow, WindowState),
        KV_VALUE(ViewSection, MainWindow, Left),
        KV_VALUE(ViewSection, MainWindow, Top),
        KV_VALUE(ViewSection, MainWindow, Width),
        KV_VALUE(ViewSection, MainWindow, Height),
        KV_VALUE(ViewSection, Diagram, LineStyle),
        KV_VALUE(ViewSection, Diagram, EntitySize),
        KV_VALUE(ViewSection, Diagram, CurrentCTL),
        KV_VALUE(ViewSection, Diagram, LeftClickCommand),
        KV_VALUE(ViewSection, Diagram, GridLines),
        KV_VALUE(ViewSection, Diagram, SnapToGrid),
        KV_VALUE(ViewSection, Diagram, GridSpacing),
        KV_VALUE(ViewSection, Diagram, SnapDistance),
        KV_VALUE(ViewSection, Diagram, BackColor),
        KV_VALUE(ViewSection, Diagram, EntityColor),
        KV_VALUE(ViewSection, Diagram, TextColor),
        KV_VALUE(ViewSection, Diagram, GroupColor),
        KV_VALUE(ViewSection, Diagram, GridColor),
        KV_VALUE(ViewSection, Diagram, LinkColor),
        KV_VALUE(ViewSection, Diagram, LinkAlways),
        KV_VALUE(ViewSection, Diagram, LinkExpr),
        KV_VALUE(ViewSection, Diagram, ToolTip),
        KV_VALUE(ViewSection, TestMode, ShowTestModeDlg),
        KV_VALUE(ViewSection, TestMode, StepThrough),
        KV_VALUE(ViewSection, TestMode, StartFromFirst),
        KV_VALUE(ViewSection, TestMode, StartFromSelected),
        KV_VALUE(ViewSection, TestMode, PromptUserForValue),
        KV_VALUE(ViewSection, TestMode, StartDecision),
        KV_VALUE(ViewSection, TestMode, ShowDecisionValues),
        KV_VALUE(ViewSection, TestMode, ShowCLValues),
        KV_VALUE(ViewSection, Editing, AutoSpellCheckProperties),
        KV_VALUE(ViewSection, Editing, AutoSpellCheckCL),
        KV_VALUE(ViewSection, Editing, AutoSpellCheckCompile),
        KV_VALUE(ViewSection, Editing, ImagePath),
        KV_VALUE(ViewSection, Editing, StartDecisionBuilderOnNew),
        KV_VALUE(ViewSection, Editing, StartDTEditorOnOpen),
        KV_VALUE(ViewSection, Editing, AnalyzePathsOnValidate),
        KV_VALUE(PrintSection, Print, Print_strID),
        KV_VALUE(PrintSection, Print, Print_intID),
        KV_VALUE(PrintSection, Print, Print_Caption),
        KV_VALUE(PrintSection, Print, Print_Control),
        KV_VALUE(PrintSection, Print, Print_Default),
        KV_VALUE(PrintSection, Print, Print_Group),
        KV_VALUE(PrintSection, Print, Print_Heading),
        KV_VALUE(PrintSection, Print, Print_HelpID),
        KV_VALUE(PrintSection, Print, Print_HelpURL),
        KV_VALUE(PrintSection, Print, Print_Max),
        KV_VALUE(PrintSection, Print, Print_Min),
        KV_VALUE(PrintSection, Print, Print_Options),
        KV_VALUE(PrintSection, Print, Print_Picture),
        KV_VALUE(PrintSection, Print, Print_DTSummary),
        KV_VALUE(PrintSection, Print, Print_DTThumbnail),
        KV_VALUE(PrintSection, Print, Print_Selectors),
        KV_VALUE(PrintSection, Print, Print_Pictures),
        KV_VALUE(PrintSection, Print, Print_ThumbnailOnePage),
    };
}

#undef KV_VALUE

// Numbers and flags are stored in decimal; anything else is a type mismatch.
int toInt32(const QString& text, const QString& name)
{
    bool isNumber = false;
    const qlonglong number = text.trimmed().toLongLong(&isNumber);
    if (!isNumber)
        throw KvError(errTypeMismatch, name, QStringLiteral("Type mismatch"));
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        throw KvError(errOverflow, name, QStringLiteral("Overflow"));
    return static_cast<int>(number);
}

void assign(int& target, const QString& text, const QString& name)
{
    target = toInt32(text, name);
}

void assign(bool& target, const QString& text, const QString& name)
{
    target = toInt32(text, name) != 0;
}

void assign(QString& target, const QString& text, const QString&)
{
    target = text;
}

QString storedText(int value)
{
    return QString::number(value);
}

QString storedText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString storedText(const QString& value)
{
    return value;
}

} // namespace

void ViewSettings::Load(const char* procedure)
{
    for (const Field<ViewSettings>& field : fieldsOf(*this)) {
        ProcedureBoundary::run(procedure, [&field] {
            const QString name = QLatin1String(field.name);
            const CRegistry value(field.section, name);
            // A value never stored keeps its built-in value without a complaint.
            if (!value.KeyExists())
                return;
            const QString text = value.Value();
            std::visit([&](auto* target) { assign(*target, text, name); }, field.target);
        });
    }
}

void ViewSettings::Save(const char* procedure) const
{
    for (const Field<const ViewSettings>& field : fieldsOf(*this)) {
        ProcedureBoundary::run(procedure, [&field] {
            const CRegistry value(field.section, QLatin1String(field.name));
            std::visit([&](const auto* source) { value.setValue(storedText(*source)); }, field.target);
        });
    }
}
