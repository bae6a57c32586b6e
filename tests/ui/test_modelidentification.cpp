// Which product names the window takes for one of the four models, and what
// it says about the others.
#include <QtTest>

#include <memory>

#include "debugcapture.h"
#include "panelwindow.h"
#include "ui/mainwindow.h"

using namespace panelwindow;

class ModelIdentificationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exactDeviceNameBecomesCurrentModel_data();
    void exactDeviceNameBecomesCurrentModel();
    void nearMissNameIsLoggedAndIgnored_data();
    void nearMissNameIsLoggedAndIgnored();
    void rejectedNameKeepsPreviousModel();
    void emptyNameMeansNoDevice();
    void sameNameIsNotAppliedTwiceWithinASecond();

private:
    std::unique_ptr<MainWindow> m_window;
};

void ModelIdentificationTest::initTestCase()
{
    initPanelResources();
}

void ModelIdentificationTest::init()
{
    m_window = std::make_unique<MainWindow>();
}

void ModelIdentificationTest::cleanup()
{
    m_window.reset();
}

void ModelIdentificationTest::exactDeviceNameBecomesCurrentModel_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Strata 96") << "Strata 96";
    QTest::newRow("Strata 10") << "Strata 10";
    QTest::newRow("Strata 14") << "Strata 14";
    QTest::newRow("Strata 20") << "Strata 20";
}

void ModelIdentificationTest::exactDeviceNameBecomesCurrentModel()
{
    QFETCH(QString, name);
    DebugCapture debug;

    m_window->slt_RecvDeviceName(name);

    QCOMPARE(text(*m_window, "label_Device"), name);
    QCOMPARE(debug.lines(), QStringList());
}

void ModelIdentificationTest::nearMissNameIsLoggedAndIgnored_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case") << "strata 96";
    QTest::newRow("upper case") << "STRATA 10";
    QTest::newRow("trailing blank") << "Strata 96 ";
    QTest::newRow("leading blank") << " Strata 14";
    QTest::newRow("no blank") << "Strata20";
    QTest::newRow("other model") << "Strata 30";
    QTest::newRow("prefix only") << "Strata";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Strata 96\u00e9");
}

void ModelIdentificationTest::nearMissNameIsLoggedAndIgnored()
{
    QFETCH(QString, name);
    DebugCapture debug;

    m_window->slt_RecvDeviceName(name);

    QCOMPARE(debug.lines(),
             QStringList() << QStringLiteral("[ERROR]Connected Device is [%1]").arg(name));
    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("a"));
}

void ModelIdentificationTest::rejectedNameKeepsPreviousModel()
{
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 14"));
    m_window->slt_RecvDeviceName(QStringLiteral("strata 14"));

    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("Strata 14"));
}

void ModelIdentificationTest::emptyNameMeansNoDevice()
{
    DebugCapture debug;
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 96"));

    m_window->slt_RecvDeviceName(QString());

    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("No Device"));
    QCOMPARE(debug.lines(), QStringList());
    // The last accepted name survives a failed exchange: the same name comes
    // back only after the next one-second tick has forgotten it.
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 96"));
    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("No Device"));
}

void ModelIdentificationTest::sameNameIsNotAppliedTwiceWithinASecond()
{
    QLabel *device = widget<QLabel>(*m_window, "label_Device");
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 10"));
    device->setText(QStringLiteral("marker"));

    m_window->slt_RecvDeviceName(QStringLiteral("Strata 10"));

    QCOMPARE(device->text(), QStringLiteral("marker"));
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 20"));
    QCOMPARE(device->text(), QStringLiteral("Strata 20"));
}

QTEST_MAIN(ModelIdentificationTest)
#include "test_modelidentification.moc"
