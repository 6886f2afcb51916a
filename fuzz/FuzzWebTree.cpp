// The runtime's reader of web tree files (.kvw) on any content: the file is refused with a
// message or read into a tree the engine loads or refuses, and a run over what it loaded ends
// by itself.
#include "FuzzEnvironment.h"

#include "runtime/CompiledTree.h"
#include "runtime/RuntimeEngine.h"
#include "runtime/WebTreeReader.h"

#include <QFile>

namespace {

constexpr int PagesToWalk = 20;

QString& treePath()
{
    static QString path;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    treePath() = FuzzEnvironment::scratchFolder() + QStringLiteral("/input.kvw");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        QFile file(treePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the input file");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    CompiledTree tree;
    if (!WebTreeReader::readFile(treePath(), tree))
        return 0;
    RuntimeEngine engine;
    if (!engine.load(tree) || !engine.start())
        return 0;
    for (int page = 0; page < PagesToWalk && engine.isRunning(); ++page) {
        if (!engine.next())
            break;
    }
    return 0;
}
