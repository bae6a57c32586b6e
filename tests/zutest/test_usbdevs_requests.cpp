// The two vendor requests: what reaches the unit, and how each outcome of a
// transfer becomes a result code and a diagnostic line.
#include <QtTest>

#include "stdout_capture.h"
#include "test_usbdevs_doubles.h"

Q_DECLARE_METATYPE(sim::Xfer)

class UsbdevsRequestsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void outcomeMapsToResultAndLine_data();
    void outcomeMapsToResultAndLine();
    void outRequestCarriesSetupAndData();
    void inRequestFillsCallerBuffer();
    void missingUnitFailsSilently_data();
    void missingUnitFailsSilently();
    void unitPulledButNotYetRemovedReportsNoDevice();

private:
    usbdevs_t reg_;
    std::shared_ptr<ScriptedDevice> unit_;
    usbdevs_dev_t *dev_ = nullptr;
};

void UsbdevsRequestsTest::init()
{
    StdoutCapture quiet;
    unit_ = plugUnit("Strata 96");
    QCOMPARE(usbdevs_init(&reg_), 0u);
    QCOMPARE(usbdevs_get_dev(&reg_, &dev_, 0), 0u);
}

void UsbdevsRequestsTest::cleanup()
{
    usbdevs_exit(&reg_);
    sim::Bus::instance().unplugAll();
    unit_.reset();
}

void UsbdevsRequestsTest::outcomeMapsToResultAndLine_data()
{
    QTest::addColumn<bool>("in");
    QTest::addColumn<sim::Xfer>("outcome");
    QTest::addColumn<uint>("result");
    QTest::addColumn<QString>("output");

    const QString path = "../../zutest/usbdevs.c:";
    QTest::newRow("out ok") << false << sim::Xfer::Ok << 0u << QString();
    QTest::newRow("out stall") << false << sim::Xfer::Stall << 2u << path + "251:kIOUSBPipeStalled\n";
    QTest::newRow("out time-out") << false << sim::Xfer::Timeout << 2u
                                  << path + "255:kIOUSBTransactionTimeout\n";
    QTest::newRow("out no device") << false << sim::Xfer::NoDevice << 1u << path + "248:ERROR 0xfffffffc\n";
    QTest::newRow("out other error") << false << sim::Xfer::Error << 1u << path + "248:ERROR 0xffffffff\n";
    QTest::newRow("in ok") << true << sim::Xfer::Ok << 0u << QString();
    QTest::newRow("in stall") << true << sim::Xfer::Stall << 2u << path + "289:kIOUSBPipeStalled\n";
    QTest::newRow("in time-out") << true << sim::Xfer::Timeout << 2u
                                 << path + "293:kIOUSBTransactionTimeout\n";
    QTest::newRow("in no device") << true << sim::Xfer::NoDevice << 1u << path + "286:ERROR 0xfffffffc\n";
    QTest::newRow("in other error") << true << sim::Xfer::Error << 1u << path + "286:ERROR 0xffffffff\n";
}

void UsbdevsRequestsTest::outcomeMapsToResultAndLine()
{
    QFETCH(bool, in);
    QFETCH(sim::Xfer, outcome);
    QFETCH(uint, result);
    QFETCH(QString, output);

    unit_->script({outcome});
    uint8_t buf[64] = {};
    StdoutCapture out;
    const uint32_t got = in ? usbdevs_dev_vendor_request_in(dev_, 30, 0, 0, 64, buf)
                            : usbdevs_dev_vendor_request_out(dev_, 29, 0, 0, 3, buf);
    QCOMPARE(got, result);
    QCOMPARE(QString::fromStdString(out.finish()), output);
    // The slot keeps its unit whatever the transfer did.
    QCOMPARE(usbdevs_dev_exist(dev_), 0u);
}

void UsbdevsRequestsTest::outRequestCarriesSetupAndData()
{
    uint8_t message[5] = {0xA1, 0x01, 0x01, 0xFF, 0x00};
    QCOMPARE(usbdevs_dev_vendor_request_out(dev_, 29, 0x1234, 0x5678, sizeof message, message), 0u);
    const ScriptedDevice::Setup setup = unit_->last();
    QVERIFY(!setup.in);
    QCOMPARE(setup.request, uint8_t(29));
    QCOMPARE(setup.value, uint16_t(0x1234));
    QCOMPARE(setup.index, uint16_t(0x5678));
    QCOMPARE(setup.length, uint16_t(5));
    QCOMPARE(setup.data, std::vector<uint8_t>(message, message + 5));
}

void UsbdevsRequestsTest::inRequestFillsCallerBuffer()
{
    unit_->setReply({0xA1, 0x01, 0x01, 0x01, 0xFF});
    uint8_t buf[8];
    std::fill(buf, buf + 8, 0xEE);
    QCOMPARE(usbdevs_dev_vendor_request_in(dev_, 30, 0, 0, 5, buf), 0u);
    const ScriptedDevice::Setup setup = unit_->last();
    QVERIFY(setup.in);
    QCOMPARE(setup.request, uint8_t(30));
    QCOMPARE(setup.length, uint16_t(5));
    QCOMPARE(std::vector<uint8_t>(buf, buf + 8),
             (std::vector<uint8_t>{0xA1, 0x01, 0x01, 0x01, 0xFF, 0xEE, 0xEE, 0xEE}));
}

void UsbdevsRequestsTest::missingUnitFailsSilently_data()
{
    QTest::addColumn<int>("handle");
    QTest::newRow("null handle") << 0;
    QTest::newRow("slot never taken") << 1;
    QTest::newRow("slot freed by removal") << 2;
}

void UsbdevsRequestsTest::missingUnitFailsSilently()
{
    QFETCH(int, handle);
    usbdevs_dev_t *dev = nullptr;
    if (handle == 1) {
        dev = &reg_.devs[5];
    } else if (handle == 2) {
        StdoutCapture quiet;
        dev = dev_;
        sim::Bus::instance().unplug(unit_);
        usbdevs_refresh();
    }

    uint8_t buf[64] = {};
    StdoutCapture out;
    QCOMPARE(usbdevs_dev_exist(dev), 1u);
    QCOMPARE(usbdevs_dev_vendor_request_out(dev, 29, 0, 0, 1, buf), 1u);
    QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 1u);
    QCOMPARE(out.finish(), std::string());
    QCOMPARE(unit_->transfers(), 0);
}

void UsbdevsRequestsTest::unitPulledButNotYetRemovedReportsNoDevice()
{
    // Until the removal is delivered the slot holds the unit, and the bus
    // answers for a unit that has gone.
    sim::Bus::instance().unplug(unit_);
    uint8_t buf[64] = {};
    StdoutCapture out;
    QCOMPARE(usbdevs_dev_vendor_request_in(dev_, 30, 0, 0, 64, buf), 1u);
    QCOMPARE(out.text(), std::string("../../zutest/usbdevs.c:286:ERROR 0xfffffffc\n"));
    usbdevs_refresh();
    QCOMPARE(usbdevs_dev_vendor_request_in(dev_, 30, 0, 0, 64, buf), 1u);
    QCOMPARE(out.finish(), "../../zutest/usbdevs.c:286:ERROR 0xfffffffc\n" + removedLines("Strata 96"));
}

QTEST_GUILESS_MAIN(UsbdevsRequestsTest)
#include "test_usbdevs_requests.moc"
