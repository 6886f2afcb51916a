#include "validate/CcValidation.h"

#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "lang/ExpressionParser.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"
#include "model/OptionRules.h"
#include "selectors/StoredSelectorCatalog.h"
#include "validate/ControlCharacters.h"
#include "validate/ControlDependencies.h"
#include "validate/SelectorPropertyCheck.h"
#include "validate/ControlLocation.h"
#include "validate/InterfaceLimits.h"
#include "validate/PathAnalysis.h"
#include "validate/ReferenceChecker.h"
#include "persist/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>

namespace {

using namespace MDecisionDataUtil;

constexpr int inputInterfaceLabelId = 8003;
constexpr int displayedControlsLabelId = 8004;
constexpr int minimumLabelId = 8007;
constexpr int maximumLabelId = 8008;
constexpr int defaultValueLabelId = 8009;
constexpr int optionsAndActionsLabelId = 11004;
constexpr int pictureLabelId = 11005;

constexpr int invalidPictureId = 12503;
constexpr int syntaxErrorId = 12509;
constexpr int invalidStatementId = 12510;
constexpr int invalidValueId = 12511;
constexpr int blankCallId = 12517;
constexpr int invalidRangeId = 12522;
constexpr int minimumAboveMaximumId = 12523;
constexpr int defaultOutsideRangeId = 12525;
constexpr int valueOutsideRangeId = 12526;
constexpr int slideOnWebId = 12528;
constexpr int callOnWebId = 12529;
constexpr int linkOnDesktopId = 12530;
constexpr int noGoId = 12531;
constexpr int invalidExpressionId = 12533;
constexpr int noChoicesId = 12534;
constexpr int missingGoId = 12535;
constexpr int missingGoAdviceId = 12536;
constexpr int noChoicesAdviceId = 12538;
constexpr int noPushedActionId = 12539;
constexpr int noPushedActionAdviceId = 12540;
constexpr int desktopLacksFeatureId = 13356;
constexpr int externalOnDesktopId = 37500;
constexpr int validatingStatusId = 14018;
constexpr int noLogFileId = 32300;
constexpr int blankHeaderId = 36160;

const QString pushedOption = QStringLiteral("Pushed");
// What Command controls of older projects call their pushed option.
const QString olderPushedOption = QStringLiteral("True");

// An action with nothing after its keyword: "!ENDIF " and "!ELSE something" are not.
bool standsAlone(const QString& line)
{
    return !line.contains(QLatin1Char(' '));
}

bool isQuotedText(const QString& value)
{
    return value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'));
}

// "[[Age]]" or "Age": the name between the brackets, when written with them.
QString referencedName(const QString& reference)
{
    QString name = reference.trimmed();
    if (name.startsWith(QLatin1String("[[")) && name.endsWith(QLatin1String("]]")))
        name = name.mid(2, name.size() - 4);
    return name.trimmed();
}

// A number, a bare word or a quoted text, as opposed to a value computed from others.
bool isPlainValue(const QString& value)
{
    if (IsDecimalNumber(value))
        return true;
    const ExpressionParseResult parsed = ExpressionParser::parse(value);
    if (!parsed.ok())
        return false;
    const ExpressionKind kind = parsed.root->kind();
    return kind == ExpressionKind::Number || kind == ExpressionKind::Property || kind == ExpressionKind::Boolean
           || kind == ExpressionKind::Text;
}

bool requiresChoices(qint16 type)
{
    return type == Radio || type == Combo || type == List || type == MultiList;
}

bool isOptionChoiceInterface(qint16 type)
{
    return requiresChoices(type) || type == Slide;
}

} // namespace

struct CcValidation::BlockSummary {
    int options = 0;
    int optionsWithGo = 0;
    bool anyGo = false;
    bool pushedHasAction = false;
};

CcValidation::CcValidation(const CmDecisionManager& decisions, const CmDocument& document, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_document(document)
{
}

CcValidation::~CcValidation() = default;

void CcValidation::setSelectorCatalog(const ISelectorCatalog* catalog)
{
    m_externalCatalog = catalog;
    m_references.reset();
    // The property check holds the catalog it was made with.
    m_propertyCheck.reset();
}

void CcValidation::setCompileKVW(bool web)
{
    m_compileKVW = web;
    if (m_references)
        m_references->setCompileKVW(web);
}

void CcValidation::setCompileKVD(bool desktop)
{
    m_compileKVD = desktop;
    if (m_references)
        m_references->setCompileKVD(desktop);
}

void CcValidation::setTargetsForFileType(qint32 fileType)
{
    setCompileKVW(fileType == 0 || fileType == 1);
    setCompileKVD(fileType != 1);
}

void CcValidation::Clear()
{
    m_findings.clear();
    // What was read of the selectors and pictures belongs to the last run.
    m_propertyCheck.reset();
    m_references.reset();
    m_storedCatalog.reset();
    m_pictures.clear();
    m_picturesRead = false;
    m_refusedExternal.clear();
}

const ISelectorCatalog& CcValidation::selectorCatalog()
{
    if (m_externalCatalog)
        return *m_externalCatalog;
    if (!m_storedCatalog)
        m_storedCatalog = std::make_unique<StoredSelectorCatalog>(m_document.Storage().rootNode());
    return *m_storedCatalog;
}

ReferenceChecker& CcValidation::references()
{
    if (!m_references) {
        m_references = std::make_unique<ReferenceChecker>(m_decisions, selectorCatalog(), *this);
        m_references->setCompileKVW(m_compileKVW);
        m_references->setCompileKVD(m_compileKVD);
        m_references->setTreeFixed(m_treeFixed);
    }
    return *m_references;
}

void CcValidation::AppendToLog(bool isError, const QString& message, const QString& location, const QString& extra)
{
    if (!m_headerSelector.isEmpty() && isHiddenHeaderFinding(message))
        return;
    m_findings.AppendLineToLog(m_currentLine, isError, message, location, extra);
}

void CcValidation::AppendLineToLog(int line, bool isError, const QString& message, const QString& location,
                                   const QString& extra)
{
    m_findings.AppendLineToLog(line, isError, message, location, extra);
}

bool CcValidation::isHiddenHeaderFinding(const QString& message) const
{
    if (!m_headerRule || m_headerRule(m_headerSelector.toCaseFolded()))
        return false;
    const QString text = LoadResString(blankHeaderId).arg(m_headerSelector);
    const qsizetype column = text.indexOf(QLatin1String("%2"));
    if (column < 0)
        return false;
    const QString before = text.left(column);
    const QString after = text.mid(column + 2);
    if (!message.startsWith(before) || !message.endsWith(after) || message.size() <= before.size() + after.size())
        return false;
    bool number = false;
    message.mid(before.size(), message.size() - before.size() - after.size()).toInt(&number);
    return number;
}

void CcValidation::ValidateControl(const CmDecisionItem& decision, ControlDependencies* dependencies)
{
    // One control at a time, each finds its own first use of a selector's header.
    if (m_headerRule)
        m_propertyCheck.reset();
    m_dependencies = dependencies;
    references().setDependencies(dependencies);
    validateDecision(decision);
    references().setDependencies(nullptr);
    m_dependencies = nullptr;
}

ValidationFindings CcValidation::TakeFindings()
{
    return std::exchange(m_findings, ValidationFindings());
}

void CcValidation::setHeaderRule(std::function<bool(const QString&)> rule)
{
    m_headerRule = std::move(rule);
    m_propertyCheck.reset();
}

void CcValidation::ForgetSelectors()
{
    m_propertyCheck.reset();
    m_references.reset();
    m_storedCatalog.reset();
}

void CcValidation::ForgetPictures()
{
    m_pictures.clear();
    m_picturesRead = false;
}

void CcValidation::setTreeFixed(bool fixed)
{
    m_treeFixed = fixed;
    if (m_references)
        m_references->setTreeFixed(fixed);
}

void CcValidation::setPictureNames(const QStringList& names)
{
    m_pictures.clear();
    for (const QString& picture : names)
        m_pictures.insert(picture.toUpper());
    m_picturesRead = true;
}

void CcValidation::Validate()
{
    ProcedureBoundary::run("CcValidation.Validate", [&] {
        emit statusChanged(LoadResString(validatingStatusId));
        m_lastProgress = -1;
        // Nothing edits the tree while it is walked here.
        const auto restore = qScopeGuard([this, fixed = m_treeFixed] { setTreeFixed(fixed); });
        setTreeFixed(true);
        collectDisplayed();
        const int total = m_decisions.Count();
        for (int index = 1; index <= total; ++index) {
            if (const CmDecisionItem* decision = m_decisions.ItemByIndex(index))
                validateDecision(*decision);
            reportProgress(index, total);
        }
        if (m_analyzePaths)
            PathAnalysis::Run(m_decisions, *this);
    });
    emit statusChanged(QString());
    emit progressChanged(0);
}

void CcValidation::reportProgress(int done, int total)
{
    const int percent = total > 0 ? static_cast<int>(qint64(done) * 100 / total) : 100;
    if (percent == m_lastProgress)
        return;
    m_lastProgress = percent;
    emit progressChanged(percent);
}

void CcValidation::collectDisplayed()
{
    m_displayed.clear();
    for (int index = 1; index <= m_decisions.Count(); ++index) {
        const CmDecisionItem* decision = m_decisions.ItemByIndex(index);
        if (!decision)
            continue;
        for (const QString& shown : decision->Group())
            m_displayed.insert(shown.trimmed().toUpper());
    }
}

void CcValidation::validateDecision(const CmDecisionItem& decision)
{
    // A failure in one control is logged and the walk goes on with the next.
    ProcedureBoundary::run("CcValidation.Validate", [&] {
        ValidatePictureRef(decision);
        if (!decision.Group().isEmpty()) {
            const QString displayedLocation = ControlLocation::Of(decision, displayedControlsLabelId);
            for (const QString& shown : decision.Group())
                ValidateDecisionRef(displayedLocation, shown);
        }
        validateInterface(decision);
        ValidateRange(decision);
        ValidateRefs(ControlLocation::NameOf(decision), decision.Heading());
        ValidateOptionsAndActions(decision);
        ControlCharacters::Check(decision, *this);
    });
}

void CcValidation::validateInterface(const CmDecisionItem& decision)
{
    const qint16 type = decision.intControl();
    if (!m_compileKVW || (type != Slide && type != NumSlide))
        return;
    AppendToLog(true, LoadResString(slideOnWebId),
                ControlLocation::Of(decision, inputInterfaceLabelId) + QLatin1Char('=') + ControlIntToStr(type));
}

bool CcValidation::pictureExists(const QString& name)
{
    if (!m_picturesRead) {
        m_picturesRead = true;
        QStringList names;
        if (m_document.Storage().pictures().names(names).ok())
            setPictureNames(names);
    }
    return m_pictures.contains(name.toUpper());
}

bool CcValidation::ValidatePictureRef(const CmDecisionItem& decision)
{
    if (m_dependencies)
        m_dependencies->picture = decision.Picture();
    return ProcedureBoundary::runOr("CcValidation.ValidatePictureRef", false, [&] {
        if (decision.Picture().isEmpty() || pictureExists(decision.Picture()))
            return true;
        AppendToLog(true, LoadResString(invalidPictureId), ControlLocation::Of(decision, pictureLabelId));
        return false;
    });
}

bool CcValidation::ValidateDecisionRef(const QString& location, const QString& name)
{
    return ProcedureBoundary::runOr("CcValidation.ValidateDecisionRef", false,
                                    [&] { return references().ValidateDecisionRef(location, name); });
}

bool CcValidation::ValidateRefs(const QString& location, const QString& text)
{
    // A reference opens with two brackets side by side; most headers have none, and the walk
    // costs a tokenizer pass.
    if (!text.contains(QLatin1String("[[")) && !text.contains(QLatin1String("<<")))
        return true;
    return ProcedureBoundary::runOr("CcValidation.ValidateRefs", false,
                                    [&] { return references().ValidateRefs(location, text); });
}

bool CcValidation::ValidateCLRef(const QString& location, const QString& reference)
{
    return ProcedureBoundary::runOr("CcValidation.ValidateCLRef", false,
                                    [&] { return references().ValidateCLRef(location, reference); });
}

bool CcValidation::ValidateExpr(const QString& location, const QString& expression)
{
    return ProcedureBoundary::runOr("CcValidation.ValidateExpr", false, [&] {
        const ExpressionParseResult result = ExpressionParser::parse(expression);
        if (result.ok())
            return true;
        AppendToLog(true, LoadResString(invalidExpressionId) + QStringLiteral(": ") + result.message, location,
                    expression.trimmed());
        return false;
    });
}

bool CcValidation::ValidateRange(const CmDecisionItem& decision)
{
    return ProcedureBoundary::runOr("CcValidation.ValidateRange", false, [&] {
        const qint16 type = decision.intControl();
        if (!InterfaceLimits::AppliesTo(type))
            return true;
        struct Limit {
            QString text;
            int labelId;
            std::optional<double> value;
        };
        Limit limits[] = {{decision.Min().trimmed(), minimumLabelId, {}},
                          {decision.Max().trimmed(), maximumLabelId, {}},
                          {decision.DefaultValue().toString().trimmed(), defaultValueLabelId, {}}};
        bool valid = true;
        for (Limit& limit : limits) {
            if (limit.text.isEmpty())
                continue;
            limit.value = InterfaceLimits::Parse(type, limit.text);
            if (!limit.value) {
                AppendToLog(true, LoadResString(invalidRangeId), ControlLocation::Of(decision, limit.labelId));
                valid = false;
            }
        }
        const std::optional<double>& minimum = limits[0].value;
        const std::optional<double>& maximum = limits[1].value;
        const std::optional<double>& defaultValue = limits[2].value;
        if (minimum && maximum && *minimum > *maximum) {
            AppendToLog(true, LoadResString(minimumAboveMaximumId), ControlLocation::Of(decision, minimumLabelId));
            return false;
        }
        if (defaultValue && ((minimum && *defaultValue < *minimum) || (maximum && *defaultValue > *maximum))) {
            AppendToLog(true, LoadResString(defaultOutsideRangeId), ControlLocation::Of(decision, defaultValueLabelId));
            return false;
        }
        return valid;
    });
}

bool CcValidation::ValidateDecisionValue(const CmDecisionItem& decision, const QString& value) const
{
    const qint16 type = decision.intControl();
    switch (type) {
    case Check:
    case Command:
    case StringBox:
    case TextArea:
    case dList:
    case dCombo:
        return true;
    case NumBox:
    case RealNumBox:
    case NumSlide:
        return IsDecimalNumber(value);
    default:
        break;
    }
    if (!isOptionChoiceInterface(type))
        return false;
    for (const QString& line : decision.OptsAndActs()) {
        if (BlockLine::IsOption(line) && BlockLine::Body(line) == value)
            return true;
    }
    return false;
}

void CcValidation::ValidateOptionsAndActions(const CmDecisionItem& decision)
{
    ProcedureBoundary::run("CcValidation.ValidateOptionsAndActions", [&] {
        using BlockLine::Keyword;
        const QString location = ControlLocation::Of(decision, optionsAndActionsLabelId);
        const bool command = decision.intControl() == Command;
        BlockSummary summary;
        bool inPushed = false;
        bool currentOptionHasGo = false;
        m_currentLine = -1;
        for (const QString& line : decision.OptsAndActs()) {
            ++m_currentLine;
            if (BlockLine::IsOption(line)) {
                ++summary.options;
                currentOptionHasGo = false;
                const QString option = BlockLine::Body(line).trimmed();
                inPushed = command && (option.compare(pushedOption, Qt::CaseInsensitive) == 0
                                       || option.compare(olderPushedOption, Qt::CaseInsensitive) == 0);
                continue;
            }
            if (!BlockLine::IsAction(line))
                continue;
            if (inPushed)
                summary.pushedHasAction = true;
            const QString keyword = BlockLine::ActionKeyword(line);
            const QString argument = BlockLine::ActionArgument(line).trimmed();
            const auto is = [&](Keyword candidate) {
                return keyword.compare(BlockLine::KeywordText(candidate), Qt::CaseInsensitive) == 0;
            };
            if (is(Keyword::Go)) {
                if (argument.isEmpty()) {
                    reportSyntax(location, line);
                    continue;
                }
                ValidateDecisionRef(location, argument);
                summary.anyGo = true;
                if (summary.options > 0 && !currentOptionHasGo) {
                    currentOptionHasGo = true;
                    ++summary.optionsWithGo;
                }
            } else if (is(Keyword::Set) || is(Keyword::Default)) {
                if (!argument.contains(QLatin1Char('=')))
                    reportSyntax(location, line);
                else
                    validateSetValue(location, argument);
            } else if (is(Keyword::Kill) || is(Keyword::Sort)) {
                if (!argument.contains(QLatin1Char(':')))
                    reportSyntax(location, line);
                else
                    validateSelectorAction(location, argument, BlockLine::ActionMarker + keyword.toUpper());
            } else if (is(Keyword::If) || is(Keyword::ElseIf)) {
                ValidateRefs(location, argument);
                ValidateExpr(location, argument);
            } else if (is(Keyword::EarlyFinish) && !argument.isEmpty()) {
                // Any argument is accepted: the runtimes read On and treat the rest as Off.
            } else if (is(Keyword::Call)) {
                if (argument.isEmpty()) {
                    AppendToLog(false, LoadResString(blankCallId), location);
                    if (m_compileKVW)
                        AppendToLog(true, LoadResString(callOnWebId), location);
                } else if (m_compileKVW) {
                    AppendToLog(false, LoadResString(callOnWebId), location);
                }
            } else if ((is(Keyword::Jump) || is(Keyword::JumpN) || is(Keyword::Submit)) && !argument.isEmpty()) {
                if (!m_compileKVW)
                    AppendToLog(false, LoadResString(linkOnDesktopId), location);
            } else if ((is(Keyword::Else) || is(Keyword::EndIf) || is(Keyword::Noop)) && standsAlone(line)) {
                // Nothing to check.
            } else {
                reportSyntax(location, line);
            }
        }
        m_currentLine = -1;
        if (decision.intControl() != Done)
            reportDecisionWarnings(decision, location, summary);
    });
    m_currentLine = -1;
}

void CcValidation::reportSyntax(const QString& location, const QString& line)
{
    AppendToLog(false, LoadResString(syntaxErrorId), location, LoadResString(invalidStatementId) + line);
}

void CcValidation::validateSetValue(const QString& location, const QString& argument)
{
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    const QString targetName = referencedName(argument.left(equals));
    const QString value = argument.mid(equals + 1).trimmed();
    const bool targetKnown = ValidateDecisionRef(location, targetName);
    QString literal = value;
    if (isQuotedText(value)) {
        literal = value.mid(1, value.size() - 2);
    } else {
        const bool referencesKnown = ValidateRefs(location, value);
        if (!ValidateExpr(location, value) || !referencesKnown)
            return;
        // A computed value is the runtime's to judge; only a plain value can be held against
        // the target's interface.
        if (!isPlainValue(value))
            return;
    }
    if (m_dependencies)
        m_dependencies->valueTargets.append(targetName);
    const CmDecisionItem* target = targetKnown ? m_decisions.Item(targetName) : nullptr;
    if (!target)
        return;
    if (!ValidateDecisionValue(*target, literal)) {
        AppendToLog(true, LoadResString(invalidValueId), location, literal);
        return;
    }
    if (!InterfaceLimits::AppliesTo(target->intControl()))
        return;
    const double number = literal.trimmed().toDouble();
    const std::optional<double> minimum = InterfaceLimits::Parse(target->intControl(), target->Min());
    const std::optional<double> maximum = InterfaceLimits::Parse(target->intControl(), target->Max());
    if ((minimum && number < *minimum) || (maximum && number > *maximum))
        AppendToLog(true, LoadResString(valueOutsideRangeId), location, literal);
}

void CcValidation::validateSelectorAction(const QString& location, const QString& argument, const QString& action)
{
    const bool sort = action.compare(BlockLine::ActionMarker + BlockLine::KeywordText(BlockLine::Sort),
                                     Qt::CaseInsensitive) == 0;
    const qsizetype colon = argument.indexOf(QLatin1Char(':'));
    const QString selector = argument.left(colon).trimmed();
    ValidateCLRef(location, selector);
    if (m_compileKVD && !m_compileKVW && !m_externalTablesSupplied && propertyCheck().IsExternal(selector)) {
        AppendToLog(true, LoadResString(desktopLacksFeatureId) + action + QLatin1Char(' ') + selector, location,
                    LoadResString(externalOnDesktopId));
        if (!m_refusedExternal.contains(selector, Qt::CaseInsensitive))
            m_refusedExternal.append(selector);
    }
    const QString rest = argument.mid(colon + 1);
    QStringList expressions{rest};
    if (sort) {
        const QString keys = rest.section(QLatin1Char(';'), 0, 0);
        ValidateRefs(location, keys);
        expressions = keys.split(QLatin1Char(','));
        for (const QString& key : expressions)
            ValidateExpr(location, key);
    } else {
        ValidateRefs(location, rest);
        ValidateExpr(location, rest);
    }
    if (m_dependencies)
        m_dependencies->headerSelectors.append(selector);
    const QScopedValueRollback<QString> checking(m_headerSelector, selector);
    propertyCheck().Check(location, selector, expressions);
}

SelectorPropertyCheck& CcValidation::propertyCheck()
{
    if (!m_propertyCheck)
        m_propertyCheck = std::make_unique<SelectorPropertyCheck>(selectorCatalog(), *this);
    return *m_propertyCheck;
}

void CcValidation::reportDecisionWarnings(const CmDecisionItem& decision, const QString& location,
                                          const BlockSummary& summary)
{
    if (!summary.anyGo)
        AppendToLog(false, LoadResString(noGoId), location);
    // Only a control shown on another control's page is spared: that page's answers carry
    // the flow on. Whether other controls lead to it is not asked, since the runtime also
    // reaches a control by falling through to the next number.
    const bool someOptionsLackGo = summary.optionsWithGo > 0 && summary.optionsWithGo < summary.options;
    if (someOptionsLackGo && !isDisplayed(decision))
        AppendToLog(false, LoadResString(missingGoId), location, LoadResString(missingGoAdviceId));
    if (requiresChoices(decision.intControl()) && summary.options == 0)
        AppendToLog(false, LoadResString(noChoicesId), location, LoadResString(noChoicesAdviceId));
    if (decision.intControl() == Command && !summary.pushedHasAction)
        AppendToLog(false, LoadResString(noPushedActionId), location, LoadResString(noPushedActionAdviceId));
}

bool CcValidation::isDisplayed(const CmDecisionItem& decision) const
{
    const QString name = ControlLocation::NameOf(decision).toUpper();
    return m_displayedRule ? m_displayedRule(name) : m_displayed.contains(name);
}

QString CcValidation::DefaultLogFileName() const
{
    const QString project = m_document.Path();
    if (project.isEmpty())
        return QString();
    const QFileInfo info(project);
    const QString base = info.suffix().size() == 3 ? info.completeBaseName() : info.fileName();
    return info.dir().filePath(base + QStringLiteral(".log"));
}

StorageResult CcValidation::SaveLog(const QString& fileName)
{
    const QString log = Log();
    if (log.isEmpty())
        return StorageResult::success();
    const QString path = fileName.isEmpty() ? DefaultLogFileName() : fileName;
    if (path.isEmpty())
        return StorageResult::failure(StorageErrorKind::NotFound, LoadResString(noLogFileId));
    // Replaced only by a complete write: a full disk leaves the previous log; never written
    // over the project it is the log of.
    FileBytes::WriteOptions options;
    options.inputs = m_document.OpenFiles();
    options.name = fileName.isEmpty() ? FileBytes::Name::Own : FileBytes::Name::Given;
    if (const StorageResult written = FileBytes::write(path, log.toUtf8(), options); !written)
        return written;
    emit logSaved(log, path);
    return StorageResult::success();
}
