// The main of every program whose classes register with STRATA_TEST_CLASS;
// the linker takes it only into those.
#include "test_classes.h"

#include <QtTest>

#include <memory>
#include <vector>

static std::vector<QObject *(*)()> &testClasses()
{
    static std::vector<QObject *(*)()> registered;
    return registered;
}

int registerTestClass(QObject *(*make)())
{
    testClasses().push_back(make);
    return int(testClasses().size());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    for (auto make : testClasses()) {
        std::unique_ptr<QObject> test(make());
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
