// STRATA_SIMULATE chooses the simulated bus and plugs the named model in;
// without it the registry watches real units through libusb.
// The choice is made once per process, so each case runs in a child process
// of this test (the same executable, started with USBDEVS_TEST_CHILD set).
#include <QtTest>

#include <cstdio>

#include "strata_config.h"
#include "zutest/usbdevs.h"

namespace {

// The child: start a registry as a program would and report what it found.
int runChild()
{
    usbdevs_t reg;
    usbdevs_init(&reg);
    int units = 0;
    while (usbdevs_get_dev(&reg, nullptr, static_cast<uint8_t>(units)) == 0)
        units++;
    std::printf("backend %s units %d\n", usbdevs_backend() == USBDEVS_BACKEND_SIM ? "sim" : "libusb", units);
    usbdevs_dev_t *dev = nullptr;
    if (usbdevs_get_dev(&reg, &dev, 0) == 0) {
        uint8_t reply[64] = {};
        std::printf("reply request %u\n", usbdevs_dev_vendor_request_in(dev, 30, 0, 0, sizeof reply, reply));
    }
    usbdevs_exit(&reg);
    return 0;
}

} // namespace

class UsbdevsSimulateTest : public QObject {
    Q_OBJECT

private slots:
    void environmentNamesModel_data();
    void environmentNamesModel();
};

void UsbdevsSimulateTest::environmentNamesModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("complains");

    const QString added = "../../zutest/usbdevs.c:132:Device added\n";
    QTest::newRow("full name") << "Strata 96"
                               << added + "Strata 96\nbackend sim units 1\nreply request 0\n" << false;
    QTest::newRow("short name") << "14" << added + "Strata 14\nbackend sim units 1\nreply request 0\n"
                                << false;
    QTest::newRow("unknown model") << "Strata 99" << "backend sim units 0\n" << true;
    // Empty: real units through libusb; none is attached to a test machine.
    QTest::newRow("no model") << "" << "backend libusb units 0\n" << false;
}

void UsbdevsSimulateTest::environmentNamesModel()
{
    QFETCH(QString, model);
    QFETCH(QString, output);
    QFETCH(bool, complains);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("USBDEVS_TEST_CHILD", "1");
    env.insert("STRATA_SIMULATE", model);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), output);
    const QString errors = QString::fromUtf8(child.readAllStandardError());
    if (complains) {
        QCOMPARE(errors.count('\n'), 1);
        QVERIFY2(errors.contains(model), qPrintable(errors));
    } else {
        QCOMPARE(errors, QString());
    }
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("USBDEVS_TEST_CHILD"))
        return runChild();
    QCoreApplication app(argc, argv);
    UsbdevsSimulateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_usbdevs_simulate.moc"
