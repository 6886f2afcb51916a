#include "common/TestEnvironment.h"
#include "common/TestRegistry.h"

#include <QApplication>
#include <QTest>

#include <cstring>

// Runs every registered test class. "-class Name" picks one; other arguments go to QtTest.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestEnvironment::prepare();

    QStringList arguments = app.arguments();
    QString onlyClass;
    const qsizetype classFlag = arguments.indexOf(QStringLiteral("-class"));
    if (classFlag >= 0 && classFlag + 1 < arguments.size()) {
        onlyClass = arguments.at(classFlag + 1);
        arguments.remove(classFlag, 2);
    }

    int failures = 0;
    for (const auto& [name, factory] : TestRegistry::all()) {
        if (!onlyClass.isEmpty() && onlyClass != QLatin1String(name))
            continue;
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), arguments);
    }
    return failures == 0 ? 0 : 1;
}
