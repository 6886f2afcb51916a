#include "cli/GitSetupCommand.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace {
constexpr int NameId = 34330;
constexpr int SummaryId = 34331;
constexpr int UsageId = 34332;
constexpr int WrongArgumentsId = 34333;
constexpr int NoGitId = 34334;
constexpr int NoRepositoryId = 34335;
constexpr int WroteId = 34336;
constexpr int AlreadyId = 34337;
constexpr int ConfigSetId = 34338;
constexpr int ConfigFailedId = 34339;
constexpr int NotWrittenId = 34340;

struct GitRun {
    bool ran = false;
    int code = -1;
    QString out;
    QString error;
};

GitRun git(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    GitRun run;
    run.ran = process.waitForStarted() && process.waitForFinished();
    if (!run.ran) {
        run.error = process.errorString();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    run.error = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return run;
}

// How the drivers call this program: by its name when that is what the search path finds,
// else by its full path.
QString programText()
{
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString found = QStandardPaths::findExecutable(QStringLiteral("kestrova"));
    if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == self)
        return QStringLiteral("kestrova");
    return self.contains(QLatin1Char(' ')) ? QLatin1Char('"') + self + QLatin1Char('"') : self;
}

// The attributes file of the user: git's own setting, or where git looks without one.
QString globalAttributesFile(const QString& program)
{
    const GitRun configured = git(program, {QStringLiteral("config"), QStringLiteral("--global"),
                                            QStringLiteral("--path"), QStringLiteral("--get"),
                                            QStringLiteral("core.attributesFile")});
    if (configured.ran && configured.code == 0 && !configured.out.isEmpty())
        return configured.out;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(config).filePath(QStringLiteral("git/attributes"));
}

} // namespace

QString GitSetupCommand::AttributesLine()
{
    return QStringLiteral("*.kvp diff=kestrova merge=kestrova");
}

QString GitSetupCommand::Name() const
{
    return LoadResString(NameId);
}

QString GitSetupCommand::Summary() const
{
    return LoadResString(SummaryId);
}

QString GitSetupCommand::Usage() const
{
    return LoadResString(UsageId);
}

int GitSetupCommand::execute(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool global = args == QStringList{QStringLiteral("--global")};
    if (!args.isEmpty() && !global)
        return usageError(LoadResString(WrongArgumentsId), err);
    const QString program = QStandardPaths::findExecutable(QStringLiteral("git"));
    if (program.isEmpty()) {
        err << LoadResString(NoGitId).arg(QStringLiteral("git is not on the search path")) << '\n';
        return Failure;
    }
    QString attributes;
    if (global) {
        attributes = globalAttributesFile(program);
    } else {
        const GitRun top = git(program, {QStringLiteral("rev-parse"), QStringLiteral("--show-toplevel")});
        if (!top.ran) {
            err << LoadResString(NoGitId).arg(top.error) << '\n';
            return Failure;
        }
        if (top.code != 0 || top.out.isEmpty()) {
            err << LoadResString(NoRepositoryId) << '\n';
            return Failure;
        }
        attributes = QDir(top.out).filePath(QStringLiteral(".gitattributes"));
        // A repository comes from others: a link there would have us copy what it names into the
        // repository and write over it (git itself reads no linked .gitattributes).
        if (const QString why = FileBytes::whyNotRegular(attributes); !why.isEmpty()) {
            err << LoadResString(NotWrittenId).arg(attributes, why) << '\n';
            return Failure;
        }
    }

    QByteArray held;
    if (QFileInfo::exists(attributes)) {
        if (const StorageResult read = FileBytes::read(attributes, held, FileBytes::Input::RulesText); !read) {
            err << read.message << '\n';
            return Failure;
        }
    }
    const QString line = AttributesLine();
    if (QString::fromUtf8(held).split(QLatin1Char('\n')).contains(line)) {
        out << LoadResString(AlreadyId).arg(attributes, line) << '\n';
    } else {
        if (!held.isEmpty() && !held.endsWith('\n'))
            held += '\n';
        held += line.toUtf8() + '\n';
        QDir().mkpath(QFileInfo(attributes).absolutePath());
        if (const StorageResult written = FileBytes::write(attributes, held); !written) {
            err << LoadResString(NotWrittenId).arg(attributes, written.message) << '\n';
            return Failure;
        }
        out << LoadResString(WroteId).arg(line, attributes) << '\n';
    }

    const QString self = programText();
    const QList<std::pair<QString, QString>> settings{
        {QStringLiteral("diff.kestrova.command"), self + QStringLiteral(" diff")},
        {QStringLiteral("diff.kestrova.textconv"), self + QStringLiteral(" text")},
        {QStringLiteral("diff.kestrova.cachetextconv"), QStringLiteral("true")},
        {QStringLiteral("merge.kestrova.name"), QStringLiteral("Kestrova project merge")},
        {QStringLiteral("merge.kestrova.driver"), self + QStringLiteral(" merge %O %A %B --path %P")},
    };
    const QString scope = global ? QStringLiteral(" --global") : QString();
    for (const auto& [key, value] : settings) {
        QStringList configArgs{QStringLiteral("config")};
        if (global)
            configArgs.append(QStringLiteral("--global"));
        configArgs << key << value;
        const GitRun set = git(program, configArgs);
        if (!set.ran || set.code != 0) {
            err << LoadResString(ConfigFailedId).arg(scope, key, set.error) << '\n';
            return Failure;
        }
        out << LoadResString(ConfigSetId).arg(scope, key, value) << '\n';
    }
    return Success;
}
