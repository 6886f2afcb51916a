// Opening a project file of any content, as "kestrova info" does: the storage document reads
// the file, the application reads its tree and the project explorer lists what it holds; the
// file is refused or read, never a crash. A content that does not match its checksum is read as
// the Designer reads it when asked to open it read-only, so that changed bytes reach the readers.
#include "FuzzApplication.h"
#include "FuzzEnvironment.h"

#include "model/CmDocument.h"

#include <QFile>

namespace {

QString& projectPath()
{
    static QString path;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    projectPath() = FuzzEnvironment::scratchFolder() + QStringLiteral("/input.kvp");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(projectPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the input file");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    FuzzApplication application;
    Project& project = application.project();
    if (!project.Document().InspectDocument(projectPath(), StorageDocument::Checksum::Accept).done())
        return 0;
    if (project.ReadModel())
        project.LoadExplorer();
    return 0;
}
