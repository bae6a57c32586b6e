// The device service: the request engine with its worker played by the test (no bad reply may crash),
// the settings store on the file's bytes, the real worker on the simulated unit, a whole program's end.
#include <QtTest>

#include <functional>
#include <optional>
#include <sys/stat.h>

#include "debugcapture.h"
#include "service/datamanager.h"
#include "service/qzudeviceunit.h"
#include "service/settingsstore.h"
#include "sim/faultdriver.h"
#include "sim/faultlist.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "soakwatch.h"
#include "stdout_capture.h"
#include "test_table.h"
#include "virtual_clock.h"
#include "wire.h"

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
static constexpr bool kSanitized = true;
#else
static constexpr bool kSanitized = false;
#endif

namespace {
// Items as the unit writes them; join them with +.
namespace items {
using wire::array;
using wire::end;
using wire::none;
using wire::u16;
using wire::u32;
using wire::u8;
// Items and the end item, padded to the 64 bytes a reply read gives.
QByteArray reply(const QByteArray &items) { return (items + end()).leftJustified(64, '\0'); }
// A channel group (CH, CH_NUM, cmd) and an assignment group (seven items).
QByteArray channel(uint8_t kind, uint8_t ch, uint8_t cmd, uint8_t value)
{
    return u8(ZUMSG_CMD_CH, kind) + u8(ZUMSG_CMD_CH_NUM, ch) + u8(cmd, value);
}
QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh)
{
    return u8(ZUMSG_CMD_CH, inKind) + u8(ZUMSG_CMD_CH_NUM, inCh) + none(ZUMSG_CMD_ASSIGN_IN)
        + u8(ZUMSG_CMD_CH, outKind) + u8(ZUMSG_CMD_CH_NUM, outCh) + none(ZUMSG_CMD_ASSIGN_OUT)
        + none(ZUMSG_CMD_ASSIGN_COMMIT);
}
} // namespace items

class EngineProbe : public DataManager
{
public:
    using QZUDevice::is_selected_ret, QZUDevice::meter_num, QZUDevice::meter_state;
    using QZUDevice::req_assign, QZUDevice::req_hz, QZUDevice::req_recfunc, QZUDevice::req_serial;
    using QZUDevice::send_state, QZUDevice::unit_ready;

    QZUDeviceUnit *worker() const { return unit; }
    void detachWorker() { QObject::disconnect(this, nullptr, unit, nullptr); }
    // Plays the detached worker: the request went out, and the reply says ready.
    void answerReady()
    {
        if (send_state != 0)
            recv_zu_send_result(true);
        recv_zu_recv_result(true, items::reply(items::u8(ZUMSG_CMD_READY, 1)));
    }
};

// Every sig_recv_ signal as a line such as "meter 4 2 1000" or "name \"x\"".
class SignalLog : public QObject
{
public:
    explicit SignalLog(QZUDevice *e)
    {
        using D = QZUDevice;
        add(e, "debug", &D::sig_recv_debug); add(e, "hz", &D::sig_recv_hz); add(e, "meter", &D::sig_recv_meter);
        add(e, "aps", &D::sig_recv_autopowersave); add(e, "serial", &D::sig_recv_serialnumber);
        add(e, "stereo", &D::sig_recv_stereo); add(e, "mute", &D::sig_recv_mute); add(e, "fader", &D::sig_recv_fader);
        add(e, "assign", &D::sig_recv_assign_ch); add(e, "recfunc", &D::sig_recv_recfunc);
        add(e, "version", &D::sig_recv_version); add(e, "build", &D::sig_recv_build);
        add(e, "name", &D::sig_recv_productname); add(e, "sig", &D::sig_recv_productsig);
        add(e, "date", &D::sig_recv_builddate); add(e, "time", &D::sig_recv_buildtime);
    }
    QStringList lines;

private:
    static QString text(const QString &s) { return '"' + s + '"'; }
    static QString text(const QByteArray &b) { return QString::fromLatin1(b.toHex()); }
    template <class T>
    static QString text(T v) { return QString::number(qlonglong(v)); }
    template <class... A>
    void add(QZUDevice *e, const char *name, void (QZUDevice::*signal)(A...))
    {
        connect(e, signal, this,
                [this, name](A... a) { lines << (QStringList{name} << ... << text(a)).join(' '); });
    }
};

using namespace items;
constexpr zumsg_data_ch_t kDM = ZUMSG_DATA_CH_DIRECTMONITOR_OUT, kIn = ZUMSG_DATA_CH_ANALOG_IN;

// A reading whose first record carries one meter; the others have no kind.
QByteArray reading(uint32_t kind, uint8_t ch, uint16_t level, int records = QZUDevice::kMeterCount)
{
    QVector<zuctl_meter_info_t> r(records, zuctl_meter_info_t{0, 0, 0});
    r[0] = {kind, ch, level};
    return QByteArray(reinterpret_cast<const char *>(r.constData()), records * int(sizeof(zuctl_meter_info_t)));
}

// A failure blanks the identity.
const QStringList blank{"version 0", "build 0", "name \"\"", "date \"\"", "time \"\""};

using DM = DataManager;
using Call = std::function<bool(DataManager &)>;
using Write = std::function<bool()>;
} // namespace
Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(Write)

class RequestEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(path_.startsWith(qEnvironmentVariable("HOME") + '/'));
        QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u);
    }
    void init()
    {
        QDir(QFileInfo(path_).path()).removeRecursively();
        QFile::remove(QFileInfo(path_).path());
        clock_.emplace();
        unit_ = sim::plugSimUnit(sim::Model::Strata96);
        engine_.reset(new EngineProbe);
        log_.reset(new SignalLog(engine_.get()));
        sends_.reset(new QSignalSpy(engine_.get(), &QZUDevice::sig_zu_send));
    }
    void cleanup()
    {
        sends_.reset();
        log_.reset();
        engine_.reset();
        sim::Bus::instance().unplugAll();
        QCoreApplication::processEvents();
    }

private:
    QByteArray sent(int i) const { return sends_->at(i).at(0).toByteArray(); }
    void becomeReady() // and forget what that took
    {
        engine_->request_version();
        QTRY_VERIFY(engine_->unit_ready && engine_->exchanges_idle());
        log_->lines.clear();
        unit_->clearReceived();
    }
    QStringList received() const // the request messages the unit took, in hex
    {
        QStringList out;
        for (const auto &message : unit_->receivedMessages())
            out << QByteArray(reinterpret_cast<const char *>(message.data()), int(message.size())).toHex();
        return out;
    }

    // With a time stamp of its own, unless given, so that the store sees the change.
    static void writeBehindTheStoresBack(const QString &path, const QByteArray &content, QDateTime stamp = {})
    {
        static int generation = 0;
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.setFileTime(stamp.isValid() ? stamp : QDateTime::currentDateTime().addSecs(++generation - 1000),
                        QFileDevice::FileModificationTime);
    }
    QByteArray storeBytes() const
    {
        QFile file(path_);
        return QFileInfo(path_).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    const QString path_ = qEnvironmentVariable("XDG_CONFIG_HOME") + "/KORVEN/StrataMixer.ini";

    std::optional<VirtualClock> clock_;
    std::shared_ptr<sim::SimUnit> unit_;
    std::unique_ptr<EngineProbe> engine_;
    std::unique_ptr<SignalLog> log_;
    std::unique_ptr<QSignalSpy> sends_;

private slots:
    void repliesBecomeSignals_data()
    {
        // second: a reply read after the first
        addColumns<bool, QByteArray, QByteArray, QStringList, QString>("ok", "first", "second", "expected", "diagnostics");
        const QString bad(QChar(0xFFFD));
        auto row = [](const char *tag, const QByteArray &first, const QStringList &expected, const char *out = "",
                      const QByteArray &second = {}, bool ok = true) {
            QTest::newRow(tag) << ok << first << second << expected << QString(out);
        };

        row("numbers (power save only as u8) and channel values",
            reply(u32(ZUMSG_CMD_HZ, 96000) + u32(ZUMSG_CMD_VERSION, 0x12345) + u8(ZUMSG_CMD_GET_AUTOPOWERSAVE, 1)
                  + u16(ZUMSG_CMD_AUTOPOWERSAVE, 1) + u8(ZUMSG_CMD_CH, 4) + u8(ZUMSG_CMD_CH_NUM, 2)
                  + u16(ZUMSG_CMD_METER, 1000) + u16(ZUMSG_CMD_FADER, 0x1FF) + u8(ZUMSG_CMD_MUTE, 3)
                  + u8(ZUMSG_CMD_STEREO, 4) + u16(ZUMSG_CMD_CH_NUM, 0x0103) + u8(ZUMSG_CMD_MUTE, 0)),
            {"hz 96000", "version 9029", "aps 1", "meter 4 2 1000", "fader 4 2 255", "mute 4 2 1", "stereo 4 2 4",
             "mute 4 3 0"});
        row("texts and bytes",
            reply(array(ZUMSG_CMD_PRODUCTNAME, "Strata 96") + array(ZUMSG_CMD_BUILDDATE, "Nov 12")
                  + array(ZUMSG_CMD_BUILDTIME, "10:21") + array(ZUMSG_CMD_PRODUCTSIG, "KS96")
                  + array(ZUMSG_CMD_SERIAL, "S9") + array(ZUMSG_CMD_RECFUNC, QByteArray("\1\2\0", 3))
                  + array(ZUMSG_CMD_DEBUG_TEXT, "up") + u8(ZUMSG_CMD_SERIAL, 7)),
            {"name \"Strata 96\"", "date \"Nov 12\"", "time \"10:21\"", "sig \"KS96\"", "serial \"S9\"",
             "recfunc 010200", "debug \"up\"", "serial \"\""});
        row("text that is not UTF-8",
            reply(array(ZUMSG_CMD_PRODUCTNAME, "\xff\xfe" "A") + array(ZUMSG_CMD_SERIAL, "ok\xc3")),
            {"name \"" + bad + bad + "A\"", "serial \"ok" + bad + "\""});
        // Channel and latches last into the next 64-byte piece, not the next reply.
        row("state lasts for one reply",
            reply(u8(ZUMSG_CMD_CH, 4) + u8(ZUMSG_CMD_CH_NUM, 7) + none(ZUMSG_CMD_ASSIGN_IN))
                + reply(u16(ZUMSG_CMD_METER, 5) + u8(ZUMSG_CMD_CH, 1) + none(ZUMSG_CMD_ASSIGN_OUT)
                        + none(ZUMSG_CMD_ASSIGN_COMMIT)) + u16(ZUMSG_CMD_HZ, 32000),
            {"meter 4 7 5", "assign 4 7 1 7", "hz 32000", "fader 0 0 9", "assign 0 0 0 0"}, "",
            reply(u8(ZUMSG_CMD_FADER, 9) + u8(ZUMSG_CMD_CH, 3) + u8(ZUMSG_CMD_CH_NUM, 2)
                  + none(ZUMSG_CMD_ASSIGN_COMMIT)));
        row("unknown codes and numbers sent as arrays are skipped",
            reply(none(0x99) + u32(0xEE, 5) + array(ZUMSG_CMD_HZ, "\1\2") + array(ZUMSG_CMD_READY, "\1")
                  + u16(ZUMSG_CMD_HZ, 8000)), {"hz 8000"});
        row("invalid item type ends the reply", reply(u16(ZUMSG_CMD_HZ, 1) + "\x18\x09" + u16(ZUMSG_CMD_HZ, 2)),
            {"hz 1"}, "../../zutest/zumsg.c:186:ERROR 0x9\n");
        row("array running past the end", u16(ZUMSG_CMD_HZ, 1) + "\x34\x05\xff" + QByteArray(57, 'x'), {"hz 1"});
        // What a failed read left in the buffer means nothing, not even its ready item.
        row("failed request and read blank the identity", reply(u16(ZUMSG_CMD_HZ, 1) + u8(ZUMSG_CMD_READY, 1)),
            blank + blank, "", {}, false);
    }

    void repliesBecomeSignals()
    {
        QFETCH(bool, ok); QFETCH(QByteArray, first); QFETCH(QByteArray, second);
        engine_->detachWorker();
        StdoutCapture out;
        if (!ok)
            engine_->recv_zu_send_result(false);
        engine_->recv_zu_recv_result(ok, first);
        if (!second.isEmpty())
            engine_->recv_zu_recv_result(true, second);
        QTEST(QString::fromStdString(out.finish()), "diagnostics");
        QTEST(log_->lines, "expected");
        QVERIFY(!engine_->unit_ready);
    }

    void queriesFollowTheFixedOrderAndOverflowWaits()
    {
        engine_->detachWorker();
        // Marked before the unit said it is ready: status reads, nothing sent.
        for (auto request : {&QZUDevice::request_recfunc, &QZUDevice::request_serialnumber, &QZUDevice::request_assign,
                             &QZUDevice::request_fader, &QZUDevice::request_mute, &QZUDevice::request_stereo,
                             &QZUDevice::request_autopowersave, &QZUDevice::request_hz, &QZUDevice::request_version})
            (engine_.get()->*request)();
        QCOMPARE(sends_->count(), 0);

        StdoutCapture out;
        engine_->answerReady();
        // The assignment query no longer fits: its builder says where, and the rest waits.
        QCOMPARE(QString::fromStdString(out.finish()), QString("../../zutest/zuctl.c:1082:ERROR\n"));
        QCOMPARE(sent(0), none(ZUMSG_CMD_GET_INFO) + none(ZUMSG_CMD_HZ) + none(ZUMSG_CMD_GET_AUTOPOWERSAVE)
                              + channel(kDM, 1, ZUMSG_CMD_STEREO, 0) + channel(kIn, 1, ZUMSG_CMD_MUTE, 0)
                              + channel(kIn, 2, ZUMSG_CMD_MUTE, 0) + channel(kIn, 3, ZUMSG_CMD_MUTE, 0)
                              + channel(kIn, 4, ZUMSG_CMD_MUTE, 0) + channel(kDM, 1, ZUMSG_CMD_FADER, 0) + end());
        QVERIFY(engine_->req_assign && engine_->req_serial && engine_->req_recfunc);

        engine_->answerReady();
        QCOMPARE(sent(1), channel(kDM, 3, ZUMSG_CMD_STEREO, 0) + assign(0, 0, 0, 0) + none(ZUMSG_CMD_GET_SERIAL)
                              + none(ZUMSG_CMD_RECFUNC) + end());
    }

    void meterEntryLandsInItsRecord_data()
    {
        // record -1: none changes; -2: the reading is refused
        addColumns<bool, QByteArray, int, int, int>("ok", "bytes", "count", "record", "stored");
        QTest::newRow("input 3") << true << reading(4, 3, 1234) << 1 << 2 << 1234;
        QTest::newRow("one above the top of the scale") << true << reading(4, 1, 32769) << 1 << 0 << 0;
        QTest::newRow("input channel 0") << true << reading(4, 0, 10) << 1 << -1 << 0;
        QTest::newRow("kind 8 channel 2") << true << reading(8, 2, 10) << 1 << -1 << 0;
        QTest::newRow("failed read") << false << reading(4, 1, 77) << 97 << -2 << 0;
        QTest::newRow("120 records, 120 meters") << true << reading(4, 1, 77, 120) << 120 << -2 << 0;
    }

    void meterEntryLandsInItsRecord()
    {
        QFETCH(bool, ok); QFETCH(QByteArray, bytes); QFETCH(int, count); QFETCH(int, record); QFETCH(int, stored);
        engine_->detachWorker();
        levelMeter snapshot[QZUDevice::kMeterCount];
        for (levelMeter &r : snapshot)
            r.value = 0xBEEF;
        engine_->recv_get_meter(ok, bytes, count);
        QCOMPARE(engine_->getMeterdata(snapshot), record != -2);
        for (int i = 0; i < QZUDevice::kMeterCount; ++i)
            QCOMPARE(int(snapshot[i].value), i == record ? stored : 0xBEEF);
    }

    void settingIsLoggedAndHandedOn_data()
    {
        // message: what the engine then sends, less the end item
        addColumns<Call, QString, QByteArray, bool>("call", "line", "message", "accepted");
        auto row = [](const char *tag, Call call, const char *line, const QByteArray &message, bool accepted = true) {
            QTest::newRow(tag) << call << QString(line) << message << accepted;
        };
        row("power save, input, volume",
            [](DM &d) { d.setAutoPowerSave(true); return d.setAudioInput(3, false) && d.setInputVolume(100); },
            "Auto Power Save:TRUE\nAudio Input3:FALSE\nInput Volume:100",
            u8(ZUMSG_CMD_AUTOPOWERSAVE, 1) + channel(4, 3, ZUMSG_CMD_SET_MUTE, 1)
                + channel(5, 1, ZUMSG_CMD_SET_FADER, 100));
        row("monitor pairs (2 has no slot), assignment",
            [](DM &d) { d.setDirectMonitor(2, 1); d.setDirectMonitor(3, 0); return d.setAssignCh(1, 1); },
            "Direct Monitor 3_4:STEREO\nDirect Monitor 3_4:MONO\nAssign LineOut:3-4  Index:1",
            channel(5, 3, ZUMSG_CMD_SET_STEREO, 1) + assign(3, 1, 1, 3) + assign(3, 2, 1, 4));
        row("loopback",
            [](DM &d) { d.setLoopbackOut(1); d.setLoopbackIn(0); return d.setLoopback(true) && d.setLoopbackVolume(5); },
            "Loopback Out :STEREO\nLoopback In :MONO\nLoopback:TRUE\nLoopback Volume:5",
            channel(3, 1, ZUMSG_CMD_SET_STEREO, 4) + channel(4, 1, ZUMSG_CMD_SET_STEREO, 1)
                + channel(9, 0, ZUMSG_CMD_SET_FADER, 1) + channel(9, 1, ZUMSG_CMD_SET_FADER, 5));
        row("input 5, assignment index 3", [](DM &d) { return d.setAudioInput(5, true) || d.setAssignCh(3, 0); },
            "Audio Input5:TRUE\nAssign LineOut:1-2  Index:3", {}, false);
    }

    void settingIsLoggedAndHandedOn()
    {
        QFETCH(Call, call); QFETCH(QByteArray, message);
        engine_->detachWorker();
        DebugCapture debug;
        QTEST(call(*engine_), "accepted");
        QTEST(debug.lines().join('\n'), "line");
        engine_->answerReady();
        QCOMPARE(sends_->count(), message.isEmpty() ? 0 : 1);
        QCOMPARE(sends_->value(0).value(0).toByteArray(), message.isEmpty() ? message : message + end());
    }

    void readsAndWrites_data()
    {
        // content null: no file; "/": a folder; "->x": a link to elsewhere/x. file: after the
        // write, all of it or a part when there was more. setAside: the old bytes kept in .bad.
        addColumns<QByteArray, QString, Write, bool, QStringList, QByteArray, bool>("content", "source", "write", "saved",
                                                                                "log", "file", "setAside");
        auto row = [](const char *tag, const QByteArray &content, const char *source, Write write, bool saved,
                      const QStringList &log, const QByteArray &file, bool setAside = false) {
            QTest::newRow(tag) << content << QString(source) << write << saved << log << file << setAside;
        };
        const Write hold1([] { return DataManager::setPeakHold(1); }), hold3([] { return DataManager::setPeakHold(3); });
        const QStringList logged1{"PeakHoldType:1"}, logged3{"PeakHoldType:3"};
        const QString asideLine = "Settings: " + path_ + " holds lines that cannot be kept; set aside as " + path_ + ".bad";
        row("info dialog in UTF-8", {}, "", [] { return DataManager::setDoNotUpdateInfoDialog("verf\u00fcgbar"); }, true, {},
            "[Update]\nInfoDialog=verf\xc3\xbcgbar\n");
        row("meter numbers", {}, "", [] { return DataManager::setMeterSource(2) && DataManager::setPeakHold(3); }, true,
            {"MeterSource:2", "PeakHoldType:3"}, "[Meter]\nSource=2\n\n[PeakHold]\nType=3\n");
        row("letters", "[Meter]\nSource=abc\n", "abc", hold1, true, logged1, "[PeakHold]\nType=1\n");
        // The user's own lines stay while nothing changes, and are set aside before a change drops them.
        const QByteArray mine("; mine\n[Other]\nfoo=1\nname=M\xfcller\n\n[PeakHold]\nType=1\n");
        row("a value unchanged is not written", mine, "", hold1, true, logged1, mine);
        // Set aside once: later rewrites keep the user's original there.
        row("comments set aside before a change, and kept", mine, "",
            [] { return DataManager::setPeakHold(2) && DataManager::setPeakHold(3) && DataManager::setMeterSource(1); }, true,
            {"PeakHoldType:2", asideLine, "PeakHoldType:3", "MeterSource:1"}, "[Meter]\nSource=1\n\n[Other]\nfoo=1\n", true);
        row("binary junk set aside", QByteArray("\x00\xff\xfe[\x01\n=\x80", 9), "", hold1, true, {"PeakHoldType:1", asideLine},
            "[PeakHold]\nType=1\n", true);
        // Through a link to a file, or to where one may be created; else nothing changes and the write fails.
        row("link to a file", "->mine.ini", "7", hold3, true, logged3, "[Meter]\nSource=7\n\n[PeakHold]\nType=3\n");
        row("dangling link", "->new.ini", "", hold3, true, logged3, "[PeakHold]\nType=3\n");
        // Last: a failed write may stay in the toolkit's cache.
        row("a folder in its place", "/", "", [] { return DataManager::setPeakHold(2); }, false, {"PeakHoldType:2"}, "missing");
        row("link to a FIFO", "->fifo", "", hold3, false, logged3, "missing");
    }

    void readsAndWrites()
    {
        QFETCH(QByteArray, content); QFETCH(Write, write); QFETCH(QByteArray, file);
        const QString elsewhere = QFileInfo(path_).path() + "/elsewhere/", target = elsewhere + content.mid(2);
        const bool link = content.startsWith("->");
        if (content == "/")
            QVERIFY(QDir().mkpath(path_));
        else if (!content.isNull() && !link)
            writeBehindTheStoresBack(path_, content);
        if (link && QDir().mkpath(elsewhere) && target.endsWith("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        else if (link && target.endsWith("mine.ini"))
            writeBehindTheStoresBack(target, "[Meter]\nSource=7\n");
        QVERIFY(!link || QFile::link(target, path_));
        QTEST(DataManager::getMeterSource(), "source");

        DebugCapture debug;
        QTEST(write(), "saved");
        QTEST(debug.lines(), "log");
        const bool exact = content.isNull() || content == "/" || storeBytes() == content;
        QVERIFY2(exact ? storeBytes() == file : storeBytes().contains(file), storeBytes().constData());
        QFile aside(path_ + ".bad");
        QTEST(aside.exists(), "setAside");
        QVERIFY(!aside.exists() || (aside.open(QIODevice::ReadOnly) && aside.readAll() == content));
        // The link stays, and its target is all there is there: no leftovers.
        QVERIFY(!link || (QFileInfo(path_).isSymLink() && QDir(elsewhere).entryList(QDir::Files | QDir::System).size() == 1));
    }

    void cacheReadsTheFileWhenItChanges()
    {
        SettingsStore cache;
        QCOMPARE(cache.cached("PeakHold", "Type"), QString());
        QVERIFY(DataManager::setPeakHold(2) && DataManager::getPeakHold() == "2");
        QCOMPARE(cache.cached("PeakHold", "Type"), QString("2"));
        // Another file with the same time stamp: still seen.
        const QDateTime stamp = QFileInfo(path_).lastModified();
        QFile::remove(path_);
        writeBehindTheStoresBack(path_, "[PeakHold]\nType=13\n", stamp);
        QCOMPARE(cache.cached("PeakHold", "Type"), QString("13"));
    }

    void sweepsAndSettingsAsTheUnitSeesThem()
    {
        engine_->setLoopbackOut(1);
        QVERIFY(engine_->setAudioInput(2, false));
        QVERIFY(engine_->setAudioInput(2, false)); // unchanged: nothing more to send
        becomeReady();
        engine_->getDirectMonitor();
        QTRY_COMPARE(log_->lines, (QStringList{"stereo 5 1 1", "stereo 5 3 1", "stereo 3 1 4", "stereo 4 1 1"}));
        QCOMPARE(received().size(), 4);

        log_->lines.clear();
        engine_->getAudioInput();
        QTRY_COMPARE(log_->lines, (QStringList{"mute 4 1 0", "mute 4 2 1", "mute 4 3 0", "mute 4 4 0"}));
        QCOMPARE(received().size(), 5);

        log_->lines.clear();
        engine_->getSerialNumber();
        engine_->getRecFunction();
        QTRY_COMPARE(log_->lines.filter(QRegularExpression("^(serial|recfunc) ")).size(), 2);

        // Only a slot's latest value reaches the unit; a failed message is not retried and blanks the identity.
        becomeReady();
        engine_->request_version();
        for (uint8_t value : {10, 20, 30})
            QVERIFY(engine_->setInputVolume(value));
        QTRY_VERIFY(unit_->fader(5, 1) == 30 && engine_->exchanges_idle());
        QStringList faders;
        for (const QString &message : received())
            for (uint8_t value : {10, 20, 30})
                if (message.contains(u8(ZUMSG_CMD_SET_FADER, value).toHex()))
                    faders << QString::number(value);
        QCOMPARE(faders, QStringList{"30"});

        unit_->failNext(1);
        QVERIFY(engine_->setInputVolume(77));
        QTRY_VERIFY(engine_->exchanges_idle());
        QCOMPARE(log_->lines.count("version 0"), 1);
        QCOMPARE(unit_->fader(5, 1), uint8_t(30));
    }

    void meterReadingsAreDoubleBuffered()
    {
        // Records 0-21, 22-45, 46-67, 68-89, 90-95 and 96, in the unit's order.
        std::vector<sim::MeterPoint> points;
        const uint8_t groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
        for (const auto &group : groups)
            for (uint8_t ch = 1; ch <= group[1]; ++ch)
                points.push_back({group[0], ch, uint16_t(10 * points.size() + 1)});
        points[5].level = 40000;
        points[6].level = 32768;
        unit_->setFixedMeters(points);
        levelMeter snapshot[QZUDevice::kMeterCount] = {};

        // The first poll starts a read, a poll during it asks for one more, the next gets the reading.
        QVERIFY(!engine_->getMeterdata(snapshot));
        QCOMPARE(engine_->meter_state, 2u);
        engine_->getMeterdata(snapshot);
        QCOMPARE(engine_->meter_state, 1u);
        QTRY_COMPARE(engine_->meter_state, 0u);
        QVERIFY(engine_->getMeterdata(snapshot));
        QCOMPARE(engine_->meter_num, 97);
        for (int i = 0; i < QZUDevice::kMeterCount; ++i)
            QCOMPARE(snapshot[i].value, i == 5 ? uint16_t(0) : points[size_t(i)].level);
        // Once used, a reading is cleared: one not renewed in time is a failure.
        QTRY_COMPARE(engine_->meter_state, 0u);
        engine_->initializeParameterForDevice();
        QVERIFY(!engine_->getMeterdata(snapshot));
        QTRY_COMPARE(engine_->meter_state, 0u);
        engine_->initializeParameterForDevice();
        unit_->failNext(1);
        QVERIFY(!engine_->getMeterdata(snapshot));
        QTRY_COMPARE(engine_->meter_state, 0u);
        QVERIFY(!engine_->getMeterdata(snapshot));
    }

    void unplugDuringExchange_data()
    {
        addColumns<int, int>("exchange", "failures"); // each failure blanks the identity
        QTest::newRow("request message") << 0 << 2; // the send fails, and the reply read after it
        QTest::newRow("reply read") << 1 << 1;
        QTest::newRow("meter read") << 2 << 0;
    }

    void unplugDuringExchange()
    {
        QFETCH(int, exchange); QFETCH(int, failures);
        becomeReady();
        levelMeter snapshot[QZUDevice::kMeterCount] = {};
        // The worker is held in a slot while the exchange is queued behind it and the unit leaves.
        QSemaphore entered, open;
        QMetaObject::invokeMethod(engine_->worker(), [&] { entered.release(); open.acquire(); });
        entered.acquire();
        if (exchange == 0)
            engine_->getSampleRate();
        else if (exchange == 1)
            engine_->zu_recv();
        else
            engine_->getMeterdata(snapshot);
        sim::Bus::instance().unplug(unit_);
        QCoreApplication::processEvents(); // the registry takes in the removal
        open.release();
        QTRY_VERIFY(engine_->exchanges_idle());
        QTRY_COMPARE(log_->lines.count("version 0"), failures);
        QCOMPARE(log_->lines.mid(0, 5), failures ? blank : QStringList());
        if (exchange == 2)
            QVERIFY(!engine_->getMeterdata(snapshot));
        QVERIFY(!engine_->req_hz); // a query that was in the message is gone with it

        // The window drops the unit; presence queries report none until it is back.
        QVERIFY(!engine_->deselect());
        QTRY_VERIFY((engine_->queryExistDevice(), !engine_->is_selected_ret));
        unit_ = sim::plugSimUnit(sim::Model::Strata96);
        QTRY_VERIFY(engine_->queryExistDevice());
        log_->lines.clear();
        engine_->getSampleRate();
        QTRY_VERIFY(log_->lines.contains("hz 48000"));
    }

#ifdef TEARDOWN_PROBE
    // A program on the global data manager (never sanitized) follows --simulate and ends mid-transfer.
    void programEndsCleanly_data()
    {
        addColumns<QString, QStringList, QByteArray>("environment", "arguments", "output");
        const QByteArray on96("version 102\nsimulated yes\n");
        QTest::newRow("environment") << "Strata 96" << QStringList{} << on96;
        QTest::newRow("option") << "" << QStringList{"--simulate", "Strata 96"} << on96;
        QTest::newRow("option over environment") << "Strata 96" << QStringList{"--simulate=10"}
                                                 << QByteArray("version 105\nsimulated yes\n");
        QTest::newRow("real bus, no unit") << "" << QStringList{} << QByteArray("version 0\nsimulated no\n");
    }

    void programEndsCleanly()
    {
        QFETCH(QString, environment); QFETCH(QStringList, arguments);
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("STRATA_SIMULATE", environment);
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(TEARDOWN_PROBE), arguments);
        QVERIFY(probe.waitForFinished(30000));
        const QByteArray errors = probe.readAllStandardError();
        QVERIFY2(!errors.contains("QThread") && !errors.contains("QEventLoop"), errors.constData());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        // The library's diagnostics share standard output; compare the probe's lines.
        QByteArray lines;
        for (const QByteArray &line : probe.readAllStandardOutput().split('\n'))
            if (line.startsWith("version ") || line.startsWith("simulated "))
                lines += line + '\n';
        QTEST(lines, "output");
    }
#endif

    // Driven as the window drives it through random faults: exchanges end, the unit comes back, memory stays flat.
    void servesThroughRandomFaults()
    {
        clock_.reset(); // the library's real pauses, as a user's unit meets them
        log_.reset();
        const int seconds = SoakWatch::seconds(10);
        std::vector<sim::FaultRule> rules;
        std::string error;
        QVERIFY2(sim::parseFaultList("random:0.02,unplug:1s@every=4s", &rules, &error), error.c_str());
        unit_->setFaultPlan(rules);
        sim::FaultDriver driver(unit_);
        driver.start();
        SoakWatch watch(engine_.get(), qMax(3000, seconds * 250));
        int readings = 0, tick = 0;
        // The window's 100 ms and 1 s ticks; as on the meter page, a stale reading drops the unit.
        QTimer fast, slow;
        levelMeter snapshot[QZUDevice::kMeterCount] = {};
        connect(&fast, &QTimer::timeout, &watch, [&] {
            if (engine_->queryExistDevice() && !(engine_->getMeterdata(snapshot) && ++readings))
                engine_->deselect();
        });
        connect(&slow, &QTimer::timeout, &watch, [&] {
            if (!engine_->queryExistDevice())
                return;
            engine_->getFirmVersion();
            engine_->getSampleRate();
            engine_->setInputVolume(uint8_t(++tick * 37));
            engine_->setAudioInput(uint8_t(1 + tick % 4), tick & 1);
        });
        fast.start(100);
        slow.start(1000);
        QTest::qWait(seconds * 1000);
        fast.stop();
        slow.stop();
        unit_->setFaultPlan({});
        QTRY_VERIFY_WITH_TIMEOUT(engine_->exchanges_idle(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->queryExistDevice(), 5000);
        const qint64 growth = watch.rssPeak() - watch.rssBaseline();
        QVERIFY2(watch.longestBusyMs() < 12000, "an exchange stayed with the worker past every time-out");
        QVERIFY(watch.idleReturns() > seconds && readings > seconds);
        QVERIFY2(kSanitized || growth <= 2 * 1024 * 1024, "resident memory grew after warm-up");
    }
};

QTEST_GUILESS_MAIN(RequestEngine)
#include "test_device_service.moc"
