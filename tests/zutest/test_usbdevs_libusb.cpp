// The registry's libusb backend against a mocked USB device node.
// umockdev first: Qt's keyword macros break the GLib headers.
#include <umockdev.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <mutex>

#include <unistd.h>

#include "stdout_capture.h"
#include "test_table.h"
#include "strata_config.h"
#include "zutest/usbdevs.h"

namespace {

const char kNode[] = "/dev/bus/usb/001/002";
const char kSysPath[] = "/sys/devices/usb1/1-2";
const std::string kAdded = "../../zutest/usbdevs.c:132:Device added\nStrata 96\n";
const std::string kRemoved = "../../zutest/usbdevs.c:27:removed\nStrata 96\n";
constexpr int kSilent = 1; // the unit never completes the transfer
std::atomic<int> wakeups{0};

// umockdev keeps a socket per mocked node under its testbed in TMPDIR, and a
// socket path must stay under 108 bytes: a checkout's long TMPDIR passes that.
struct ShortTempFolder {
    QByteArray path = [] { char pattern[] = "/tmp/strata-umockdev-XXXXXX"; return QByteArray(mkdtemp(pattern)); }();
    ShortTempFolder() { if (!path.isEmpty()) qputenv("TMPDIR", path); }
    ~ShortTempFolder() { if (!path.isEmpty()) rmdir(path.constData()); }
};

// The unit behind the node, on umockdev's thread. Each URB completes with the
// status `answer` had at its submission, or, if silent, when libusb discards it.
struct MockUnit {
    using Urb = std::pair<UMockdevIoctlData *, int>; // the URB and its status
    std::mutex lock;
    std::atomic<int> answer{0}; // 0, -EPIPE, -EPROTO or kSilent
    std::deque<Urb> done, flying;

    // The ioctl's errno, or -1 for umockdev to handle.
    int handle(gulong request, UMockdevIoctlData *arg)
    {
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData *caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
            *reinterpret_cast<guint32 *>(caps->data) = 0;
            umockdev_ioctl_data_unref(caps);
            return 0;
        }
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE:
            return 0;
        case USBDEVFS_SUBMITURB:
            (answer == kSilent ? flying : done)
                .push_back({umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr), answer});
            return 0;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: {
            if (done.empty())
                return EAGAIN;
            const Urb urb = done.front();
            done.pop_front();
            reinterpret_cast<usbdevfs_urb *>(urb.first->data)->status = urb.second;
            UMockdevIoctlData *slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
            umockdev_ioctl_data_set_ptr(slot, 0, urb.first);
            umockdev_ioctl_data_unref(slot);
            umockdev_ioctl_data_unref(urb.first);
            return 0;
        }
        case USBDEVFS_DISCARDURB:
            for (auto it = flying.begin(); it != flying.end(); ++it) {
                if (it->first->client_addr == reinterpret_cast<gulong>(*reinterpret_cast<void **>(arg->data))) {
                    done.push_back({it->first, -ENOENT});
                    flying.erase(it);
                    return 0;
                }
            }
            return EINVAL;
        }
        return -1;
    }

    void clear()
    {
        std::lock_guard<std::mutex> guard(lock);
        for (std::deque<Urb> *urbs : {&done, &flying}) {
            for (const Urb &urb : *urbs)
                umockdev_ioctl_data_unref(urb.first);
            urbs->clear();
        }
        answer = 0;
    }
};

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer context)
{
    auto &unit = *static_cast<MockUnit *>(context);
    std::lock_guard<std::mutex> guard(unit.lock);
    const int error = unit.handle(umockdev_ioctl_client_get_request(client), umockdev_ioctl_client_get_arg(client));
    if (error < 0)
        return FALSE;
    umockdev_ioctl_client_complete(client, error ? -1 : 0, error);
    return TRUE;
}

// A Strata 96 on bus 1, port 2: device, configuration and one vendor interface.
QByteArray deviceRecord()
{
    const unsigned vid = STRATA_USB_VENDOR_ID, pid = STRATA_USB_PID_96;
    const QString descriptors = QString::asprintf("12010002000000%02x%02x%02x%02x%02x000100000001"
                                                  "0902120001010080320904000000ff000000",
                                                  0x40, vid & 0xff, vid >> 8, pid & 0xff, pid >> 8);
    return QString::asprintf("P: /devices/usb1/1-2\nN: bus/usb/001/002\nE: SUBSYSTEM=usb\nE: DEVNAME=%s\n"
                             "E: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=002\n"
                             "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: busnum=1\\n\nA: devnum=2\\n\n"
                             "A: speed=480\\n\nA: bConfigurationValue=1\\n\nA: dev=189:1\\n\nH: descriptors=%s\n",
                             kNode, vid, pid, qPrintable(descriptors))
        .toLatin1();
}

} // namespace

class UsbdevsLibusbTest : public QObject {
    Q_OBJECT
public:
    UsbdevsLibusbTest() { g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(onIoctl), &unit_); }
    ~UsbdevsLibusbTest() override
    {
        g_object_unref(handler_);
        g_object_unref(testbed_);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_LIBUSB), 0u);
        if (!umockdev_in_mock_environment())
            QSKIP("umockdev's preload library is not active");
        if (strlen(umockdev_testbed_get_root_dir(testbed_)) > 60) // room for the socket paths below it
            QSKIP("no short temporary folder for umockdev's sockets (/tmp not writable)");
    }
    void init()
    {
        plugMock();
        StdoutCapture out;
        QCOMPARE(usbdevs_init(&reg_), 0u);
        initOutput_ = out.finish();
    }
    void cleanup()
    {
        usbdevs_set_wakeup(&reg_, nullptr, nullptr);
        usbdevs_exit(&reg_);
        unplugMock();
    }

    void unitPresentAtStartLeavesAndComesBack()
    {
        QCOMPARE(initOutput_, kAdded);
        usbdevs_dev_t *dev = nullptr;
        QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
        QCOMPARE(dev->location, 0x01200000u); // bus 1, port 2
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 1), 1u);
        wakeups = 0;
        usbdevs_set_wakeup(&reg_, [](void *) { ++wakeups; }, nullptr);
        StdoutCapture out;
        unplugMock();
        QTRY_VERIFY(wakeups > 0);
        QCOMPARE(out.text(), std::string());
        usbdevs_refresh();
        uint8_t buf[64] = {};
        QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 1u);
        QCOMPARE(out.text(), kRemoved); // the freed slot fails silently
        wakeups = 0;
        plugMock();
        QTRY_VERIFY(wakeups > 0);
        usbdevs_refresh();
        QCOMPARE(out.finish(), kRemoved + kAdded);
        QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
        QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 0u);
    }

    void outcomeMapsToResultAndLine_data()
    {
        addColumns<bool, int, uint, QString>("in", "answer", "result", "output");
        QTest::newRow("out stall") << false << -EPIPE << 2u << "251:kIOUSBPipeStalled";
        QTest::newRow("in stall") << true << -EPIPE << 2u << "289:kIOUSBPipeStalled";
        QTest::newRow("in no answer") << true << kSilent << 2u << "293:kIOUSBTransactionTimeout";
        QTest::newRow("in protocol error") << true << -EPROTO << 1u << "286:ERROR 0xffffffff";
    }

    void outcomeMapsToResultAndLine()
    {
        QFETCH(bool, in);
        QFETCH(int, answer);
        usbdevs_dev_t *dev = nullptr;
        QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
        unit_.answer = answer;
        uint8_t buf[64] = {};
        StdoutCapture out;
        QTEST(in ? usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf)
                 : usbdevs_dev_vendor_request_out(dev, 29, 0, 0, 3, buf),
              "result");
        QFETCH(QString, output);
        QCOMPARE(QString::fromStdString(out.finish()), "../../zutest/usbdevs.c:" + output + "\n");
    }

private:
    void plugMock()
    {
        // The handler first, so that the unit can be opened as soon as it is seen.
        QVERIFY(umockdev_testbed_attach_ioctl(testbed_, kNode, handler_, nullptr));
        QVERIFY(umockdev_testbed_add_from_string(testbed_, deviceRecord().constData(), nullptr));
    }
    void unplugMock()
    {
        // Removing the device alone sends no event; the uevent must come first.
        umockdev_testbed_uevent(testbed_, kSysPath, "remove");
        umockdev_testbed_remove_device(testbed_, kSysPath);
        umockdev_testbed_detach_ioctl(testbed_, kNode, nullptr);
        unit_.clear();
    }

    ShortTempFolder folder_; // before the testbed, which makes its root there
    UMockdevTestbed *testbed_ = umockdev_testbed_new();
    UMockdevIoctlBase *handler_ = umockdev_ioctl_base_new();
    MockUnit unit_;
    usbdevs_t reg_;
    std::string initOutput_;
};

QTEST_GUILESS_MAIN(UsbdevsLibusbTest)
#include "test_usbdevs_libusb.moc"
