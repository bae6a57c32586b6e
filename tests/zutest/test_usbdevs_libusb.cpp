// The registry's libusb backend against a mocked USB device node: a unit
// present at start, hot-plug arrival and removal, and how each outcome of a
// control transfer becomes a result code and a diagnostic line.
//
// The process must run with umockdev's preload library; it re-executes itself
// with it. Without umockdev at build time every test is skipped.

// umockdev first: Qt's keyword macros break the GLib headers.
#ifdef STRATA_HAVE_UMOCKDEV
#include <umockdev.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#endif

#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <unistd.h>
#include <vector>

#include "stdout_capture.h"
#include "strata_config.h"
#include "zutest/usbdevs.h"

namespace {

const char kAdded[] = "../../zutest/usbdevs.c:132:Device added\nStrata 96\n";
const char kRemoved[] = "../../zutest/usbdevs.c:27:removed\nStrata 96\n";

// How the mocked unit answers the next control transfer.
enum class Answer { Ok, Stall, Error, Silent };

#ifdef STRATA_HAVE_UMOCKDEV

const char kNode[] = "/dev/bus/usb/001/002";
const char kSysPath[] = "/sys/devices/usb1/1-2";

// The unit behind the node. The ioctl handler runs on umockdev's thread.
struct MockUnit {
    struct Urb {
        UMockdevIoctlData *data;
        int status;
        int length;
        std::vector<uint8_t> reply;
    };

    std::mutex lock;
    Answer answer = Answer::Ok;
    std::vector<uint8_t> reply;
    std::vector<uint8_t> lastSetup;
    std::vector<uint8_t> lastData;
    std::deque<Urb> reapable;
    std::deque<Urb> flying;

    void clear()
    {
        std::lock_guard<std::mutex> guard(lock);
        for (Urb &urb : reapable)
            umockdev_ioctl_data_unref(urb.data);
        for (Urb &urb : flying)
            umockdev_ioctl_data_unref(urb.data);
        reapable.clear();
        flying.clear();
        answer = Answer::Ok;
    }
};

void submit(MockUnit &unit, UMockdevIoctlData *arg)
{
    UMockdevIoctlData *urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    auto *urb = reinterpret_cast<usbdevfs_urb *>(urbData->data);
    UMockdevIoctlData *buffer = umockdev_ioctl_data_resolve(
        urbData, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), nullptr);
    const uint8_t *bytes = buffer->data;
    const int dataLength = urb->buffer_length - 8;

    MockUnit::Urb pending{urbData, 0, 0, {}};
    unit.lastSetup.assign(bytes, bytes + 8);
    const bool in = bytes[0] & 0x80;
    if (in)
        unit.lastData.clear();
    else
        unit.lastData.assign(bytes + 8, bytes + 8 + dataLength);
    switch (unit.answer) {
    case Answer::Ok:
        pending.reply = in ? unit.reply : std::vector<uint8_t>();
        if (static_cast<int>(pending.reply.size()) > dataLength)
            pending.reply.resize(static_cast<size_t>(dataLength));
        pending.length = in ? static_cast<int>(pending.reply.size()) : dataLength;
        unit.reapable.push_back(pending);
        break;
    case Answer::Stall:
        pending.status = -EPIPE;
        unit.reapable.push_back(pending);
        break;
    case Answer::Error:
        pending.status = -EPROTO;
        unit.reapable.push_back(pending);
        break;
    case Answer::Silent:
        unit.flying.push_back(pending);
        break;
    }
    umockdev_ioctl_data_unref(buffer);
}

void reap(MockUnit &unit, UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    if (unit.reapable.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    MockUnit::Urb done = unit.reapable.front();
    unit.reapable.pop_front();
    // The handler shares the address space with libusb, so the buffer is
    // written in place, as the kernel would.
    auto *urb = reinterpret_cast<usbdevfs_urb *>(done.data->data);
    urb->status = done.status;
    urb->actual_length = done.length;
    if (!done.reply.empty())
        std::memcpy(static_cast<uint8_t *>(urb->buffer) + 8, done.reply.data(), done.reply.size());
    UMockdevIoctlData *slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
    umockdev_ioctl_data_set_ptr(slot, 0, done.data);
    umockdev_ioctl_data_unref(slot);
    umockdev_ioctl_data_unref(done.data);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void discard(MockUnit &unit, UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void **>(arg->data));
    for (auto it = unit.flying.begin(); it != unit.flying.end(); ++it) {
        if (it->data->client_addr == address) {
            it->status = -ENOENT;
            unit.reapable.push_back(*it);
            unit.flying.erase(it);
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer context)
{
    auto &unit = *static_cast<MockUnit *>(context);
    std::lock_guard<std::mutex> guard(unit.lock);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    switch (umockdev_ioctl_client_get_request(client)) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData *caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
        *reinterpret_cast<guint32 *>(caps->data) = 0;
        umockdev_ioctl_data_unref(caps);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    case USBDEVFS_SUBMITURB:
        submit(unit, arg);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reap(unit, client, arg);
        return TRUE;
    case USBDEVFS_DISCARDURB:
        discard(unit, client, arg);
        return TRUE;
    default:
        return FALSE;
    }
}

// A Strata 96 on bus 1, port 2: device, configuration and one vendor interface.
QByteArray deviceRecord()
{
    const unsigned vid = STRATA_USB_VENDOR_ID;
    const unsigned pid = STRATA_USB_PID_96;
    const QString descriptors = QString::asprintf(
        "12010002000000%02x%02x%02x%02x%02x000100000001"
        "0902120001010080320904000000ff000000",
        0x40, vid & 0xff, vid >> 8, pid & 0xff, pid >> 8);
    return QString::asprintf("P: /devices/usb1/1-2\n"
                             "N: bus/usb/001/002\n"
                             "E: SUBSYSTEM=usb\n"
                             "E: DEVNAME=%s\n"
                             "E: DEVTYPE=usb_device\n"
                             "E: BUSNUM=001\n"
                             "E: DEVNUM=002\n"
                             "A: idVendor=%04x\\n\n"
                             "A: idProduct=%04x\\n\n"
                             "A: busnum=1\\n\n"
                             "A: devnum=2\\n\n"
                             "A: speed=480\\n\n"
                             "A: bConfigurationValue=1\\n\n"
                             "A: dev=189:1\\n\n"
                             "H: descriptors=%s\n",
                             kNode, vid, pid, qPrintable(descriptors))
        .toLatin1();
}

#endif // STRATA_HAVE_UMOCKDEV

std::atomic<int> wakeups{0};

void countWakeup(void *)
{
    ++wakeups;
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class UsbdevsLibusbTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void unitPresentAtStartIsTakenWithItsLocation();
    void outcomeMapsToResultAndLine_data();
    void outcomeMapsToResultAndLine();
    void removalAndArrivalComeThroughHotplug();

private:
    void plugMock();
    void unplugMock();

    usbdevs_t reg_;
    std::string initOutput_;
#ifdef STRATA_HAVE_UMOCKDEV
    UMockdevTestbed *testbed_ = nullptr;
    UMockdevIoctlBase *handler_ = nullptr;
    MockUnit unit_;
#endif
};

void UsbdevsLibusbTest::initTestCase()
{
#ifndef STRATA_HAVE_UMOCKDEV
    QSKIP("built without umockdev (packages umockdev, libumockdev-dev)");
#else
    QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_LIBUSB), 0u);
    testbed_ = umockdev_testbed_new();
    if (!umockdev_in_mock_environment())
        QSKIP("umockdev's preload library is not active");
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(onIoctl), &unit_);
#endif
}

void UsbdevsLibusbTest::cleanupTestCase()
{
#ifdef STRATA_HAVE_UMOCKDEV
    if (handler_)
        g_object_unref(handler_);
    if (testbed_)
        g_object_unref(testbed_);
#endif
}

void UsbdevsLibusbTest::plugMock()
{
#ifdef STRATA_HAVE_UMOCKDEV
    // The handler first, so that the unit can be opened as soon as it is seen.
    GError *error = nullptr;
    QVERIFY(umockdev_testbed_attach_ioctl(testbed_, kNode, handler_, &error));
    QVERIFY(umockdev_testbed_add_from_string(testbed_, deviceRecord().constData(), &error));
#endif
}

void UsbdevsLibusbTest::unplugMock()
{
#ifdef STRATA_HAVE_UMOCKDEV
    // Removing the device alone sends no event; the uevent must come first.
    umockdev_testbed_uevent(testbed_, kSysPath, "remove");
    umockdev_testbed_remove_device(testbed_, kSysPath);
    umockdev_testbed_detach_ioctl(testbed_, kNode, nullptr);
    unit_.clear();
#endif
}

void UsbdevsLibusbTest::init()
{
    plugMock();
    StdoutCapture out;
    QCOMPARE(usbdevs_init(&reg_), 0u);
    initOutput_ = out.finish();
}

void UsbdevsLibusbTest::cleanup()
{
    usbdevs_exit(&reg_);
    unplugMock();
}

void UsbdevsLibusbTest::unitPresentAtStartIsTakenWithItsLocation()
{
    QCOMPARE(initOutput_, std::string(kAdded));
    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    QCOMPARE(dev->location, 0x01200000u); // bus 1, port 2
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 1), 1u);
}

void UsbdevsLibusbTest::outcomeMapsToResultAndLine_data()
{
    QTest::addColumn<bool>("in");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<uint>("result");
    QTest::addColumn<QString>("output");

    const QString path = "../../zutest/usbdevs.c:";
    QTest::newRow("out ok") << false << Answer::Ok << 0u << QString();
    QTest::newRow("in ok") << true << Answer::Ok << 0u << QString();
    QTest::newRow("out stall") << false << Answer::Stall << 2u << path + "251:kIOUSBPipeStalled\n";
    QTest::newRow("in stall") << true << Answer::Stall << 2u << path + "289:kIOUSBPipeStalled\n";
    QTest::newRow("in protocol error") << true << Answer::Error << 1u << path + "286:ERROR 0xffffffff\n";
    QTest::newRow("in no answer") << true << Answer::Silent << 2u
                                  << path + "293:kIOUSBTransactionTimeout\n";
}

void UsbdevsLibusbTest::outcomeMapsToResultAndLine()
{
#ifdef STRATA_HAVE_UMOCKDEV
    QFETCH(bool, in);
    QFETCH(Answer, answer);
    QFETCH(uint, result);
    QFETCH(QString, output);

    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    {
        std::lock_guard<std::mutex> guard(unit_.lock);
        unit_.answer = answer;
        unit_.reply = {0xA1, 0x01, 0x01, 0x01, 0xFF};
    }
    uint8_t buf[64];
    std::memset(buf, 0xEE, sizeof buf);
    buf[0] = 0x11;
    buf[1] = 0x22;
    buf[2] = 0x33;

    StdoutCapture out;
    const uint32_t got = in ? usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf)
                            : usbdevs_dev_vendor_request_out(dev, 29, 0x0102, 0x0304, 3, buf);
    QCOMPARE(got, result);
    QCOMPARE(QString::fromStdString(out.finish()), output);

    std::lock_guard<std::mutex> guard(unit_.lock);
    const std::vector<uint8_t> setup =
        in ? std::vector<uint8_t>{0xC0, 30, 0, 0, 0, 0, 64, 0} : std::vector<uint8_t>{0x40, 29, 2, 1, 4, 3, 3, 0};
    QCOMPARE(unit_.lastSetup, setup);
    if (answer == Answer::Ok && in)
        QCOMPARE(std::vector<uint8_t>(buf, buf + 6), (std::vector<uint8_t>{0xA1, 0x01, 0x01, 0x01, 0xFF, 0xEE}));
    if (!in)
        QCOMPARE(unit_.lastData, (std::vector<uint8_t>{0x11, 0x22, 0x33}));
#endif
}

void UsbdevsLibusbTest::removalAndArrivalComeThroughHotplug()
{
    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    wakeups = 0;
    usbdevs_set_wakeup(&reg_, countWakeup, nullptr);

    StdoutCapture out;
    unplugMock();
    QTRY_VERIFY(wakeups > 0);
    QCOMPARE(out.text(), std::string());
    usbdevs_refresh();
    QCOMPARE(out.text(), std::string(kRemoved));
    uint8_t buf[64] = {};
    QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 1u);
    QCOMPARE(out.text(), std::string(kRemoved));

    wakeups = 0;
    plugMock();
    QTRY_VERIFY(wakeups > 0);
    usbdevs_refresh();
    QCOMPARE(out.finish(), std::string(kRemoved) + kAdded);
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 0u);
    usbdevs_set_wakeup(&reg_, nullptr, nullptr);
}

int main(int argc, char **argv)
{
#ifdef STRATA_HAVE_UMOCKDEV
    // The mock works only in a process started with umockdev's preload library.
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload")) {
        std::string value = "libumockdev-preload.so.0";
        if (preload && *preload)
            value += std::string(":") + preload;
        setenv("LD_PRELOAD", value.c_str(), 1);
        execv("/proc/self/exe", argv);
        std::perror("re-executing with umockdev's preload library");
        return 1;
    }
#endif
    QCoreApplication app(argc, argv);
    UsbdevsLibusbTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_usbdevs_libusb.moc"
