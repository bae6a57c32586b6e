// The request engine with its real worker thread and queued connections
// against the simulated unit: the typical start, batching while busy, the
// sweeps, setting slots as the unit sees them, the meter channel, and a unit
// pulled out while a request, a reply read or a meter read is under way.
#include <QtTest>

#include <algorithm>

#include "engineprobe.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "virtual_clock.h"

namespace {

using Message = std::vector<uint8_t>;
using Messages = std::vector<Message>;

Message bytes(const QByteArray &data)
{
    return Message(data.begin(), data.end());
}

bool contains(const Message &message, const QByteArray &item)
{
    const Message wanted = bytes(item);
    return std::search(message.begin(), message.end(), wanted.begin(), wanted.end()) != message.end();
}

int countPrefix(const QStringList &lines, const QString &prefix)
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [&](const QString &line) { return line.startsWith(prefix); }));
}

} // namespace

class EngineExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void typicalStartReadsStatusThenInfo();
    void requestWhileBusyGoesInTheNextMessage();
    void sweepsTakeFourMessagesAndOne();
    void onlyTheLatestSettingReachesTheUnit();
    void everyQueryIsAnsweredAfterOverflow();
    void meterReadingsAreDoubleBuffered();
    void unplugDuringExchange_data();
    void unplugDuringExchange();

private:
    // Ready and idle, with what that took forgotten.
    void becomeReady();

    VirtualClock clock_;
    std::shared_ptr<sim::SimUnit> unit_;
    DataManagerUnderTest *engine_ = nullptr;
    SignalLog *log_ = nullptr;
};

void EngineExchange::init()
{
    unit_ = sim::plugSimUnit(sim::Model::Strata96);
    unit_->setClock(clock_.source());
    engine_ = new DataManagerUnderTest;
    log_ = new SignalLog(engine_);
}

void EngineExchange::cleanup()
{
    delete log_;
    delete engine_;
    sim::Bus::instance().unplugAll();
    QCoreApplication::processEvents();
}

void EngineExchange::becomeReady()
{
    engine_->request_version();
    QTRY_VERIFY(engine_->unit_ready && engine_->idle());
    log_->lines.clear();
    unit_->clearReceived();
}

void EngineExchange::typicalStartReadsStatusThenInfo()
{
    unit_->setVersion(0x0203);
    unit_->setBuildDate("Jan 02 2026");
    QSignalSpy sends(engine_, &QZUDevice::sig_zu_send);

    // Not ready yet: the request becomes a status read, whose ready item
    // sends GET_INFO; the next reply brings the identity.
    engine_->request_version();
    QCOMPARE(engine_->recv_state, 2u);
    QCOMPARE(sends.count(), 0);
    QTRY_COMPARE(log_->lines, (QStringList{"version 515", "build 23", "name \"Strata 96\"",
                                           "date \"Jan 02 2026\"", "time \"10:21:07\"",
                                           "sig \"KS96\""}));
    QTRY_VERIFY(engine_->idle());
    QCOMPARE(unit_->receivedMessages(), Messages{bytes(QByteArray("\x31\x01\x00\x00", 4))});
    QVERIFY(engine_->unit_ready);
    QCOMPARE(engine_->builddate, QString("Jan 02 2026"));
}

void EngineExchange::requestWhileBusyGoesInTheNextMessage()
{
    becomeReady();
    engine_->zu_recv();         // a status read goes first,
    engine_->request_version(); // then the info request,
    engine_->request_hz();      // and the sample rate waits for the next message
    QCOMPARE(engine_->send_state, 2u);
    QTRY_VERIFY(log_->lines.contains("hz 48000") && engine_->idle());
    QCOMPARE(unit_->receivedMessages(), (Messages{bytes(QByteArray("\x31\x01\x00\x00", 4)),
                                                  bytes(QByteArray("\x18\x01\x00\x00", 4))}));
}

void EngineExchange::sweepsTakeFourMessagesAndOne()
{
    becomeReady();
    engine_->setLoopbackOut(1);
    QVERIFY(engine_->setAudioInput(2, false));
    QTRY_VERIFY(engine_->idle());
    unit_->clearReceived();

    engine_->getDirectMonitor();
    QTRY_COMPARE(log_->lines, (QStringList{"stereo 5 1 1", "stereo 5 3 1", "stereo 3 1 4", "stereo 4 1 1"}));
    QCOMPARE(unit_->receivedMessages().size(), size_t(4));
    QCOMPARE(unit_->receivedMessages()[2], bytes(items::join({items::channel(3, 1, ZUMSG_CMD_STEREO, 0),
                                                              items::end()})));

    log_->lines.clear();
    engine_->getAudioInput();
    QTRY_COMPARE(log_->lines, (QStringList{"mute 4 1 0", "mute 4 2 1", "mute 4 3 0", "mute 4 4 0"}));
    QCOMPARE(unit_->receivedMessages().size(), size_t(5));
    QCOMPARE(unit_->receivedMessages()[4].size(), size_t(38));
}

void EngineExchange::onlyTheLatestSettingReachesTheUnit()
{
    becomeReady();
    engine_->request_version();
    for (uint8_t value : {10, 20, 30})
        QVERIFY(engine_->setInputVolume(value));
    QTRY_VERIFY(unit_->fader(5, 1) == 30 && engine_->idle());

    int withFader = 0;
    for (const Message &message : unit_->receivedMessages()) {
        QVERIFY(!contains(message, items::u8(ZUMSG_CMD_SET_FADER, 10)));
        QVERIFY(!contains(message, items::u8(ZUMSG_CMD_SET_FADER, 20)));
        withFader += contains(message, items::u8(ZUMSG_CMD_SET_FADER, 30)) ? 1 : 0;
    }
    QCOMPARE(withFader, 1);
}

void EngineExchange::everyQueryIsAnsweredAfterOverflow()
{
    engine_->getAssignCh();
    engine_->getRecFunction();
    engine_->getSerialNumber();
    engine_->getInputVolume();
    engine_->getAudioInput();
    engine_->getDirectMonitor();
    engine_->getAutoPowerSave();
    engine_->getSampleRate();
    engine_->getFirmVersion();

    // An answer may span several replies: read on whenever the engine idles,
    // as the window's periodic requests would.
    const QStringList expected{"version 1", "hz 1", "aps 1", "stereo 4", "mute 4", "fader 1",
                               "assign 4", "serial 1", "recfunc 1"};
    auto counts = [this, &expected] {
        QStringList out;
        for (const QString &e : expected) {
            const QString prefix = e.section(' ', 0, 0);
            out << prefix + ' ' + QString::number(countPrefix(log_->lines, prefix + ' '));
        }
        return out;
    };
    for (int i = 0; i < 200 && counts() != expected; ++i) {
        if (engine_->idle())
            engine_->zu_recv();
        QTest::qWait(5);
    }
    QCOMPARE(counts(), expected);
    // Full up to the fader query; assignment, serial and rec-function next.
    QCOMPARE(unit_->receivedMessages()[0].size(), size_t(62));
    QCOMPARE(unit_->receivedMessages()[1].size(), size_t(33));
}

void EngineExchange::meterReadingsAreDoubleBuffered()
{
    std::vector<sim::MeterPoint> points;
    const uint8_t groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
    for (const auto &group : groups) {
        for (uint8_t ch = 1; ch <= group[1]; ++ch)
            points.push_back({group[0], ch, uint16_t(10 * points.size() + 1)});
    }
    points[5].level = 40000;
    points[6].level = 32768;
    unit_->setFixedMeters(points);
    levelMeter snapshot[QZUDevice::kMeterCount] = {};

    // The first poll has nothing yet and starts a read; the next gets it.
    QVERIFY(!engine_->getMeterdata(snapshot));
    QTRY_COMPARE(engine_->meter_state, 0u);
    QVERIFY(engine_->getMeterdata(snapshot));
    QCOMPARE(engine_->meter_num, 97);
    for (int i = 0; i < QZUDevice::kMeterCount; ++i)
        QCOMPARE(snapshot[i].value, i == 5 ? uint16_t(0) : points[size_t(i)].level);

    // Once used, a reading is cleared: one not renewed in time is a failure.
    QTRY_COMPARE(engine_->meter_state, 0u);
    engine_->initializeParameterForDevice();
    QVERIFY(!engine_->getMeterdata(snapshot));
}

void EngineExchange::unplugDuringExchange_data()
{
    QTest::addColumn<QString>("exchange");
    QTest::newRow("request message") << "request";
    QTest::newRow("reply read") << "reply";
    QTest::newRow("meter read") << "meter";
}

void EngineExchange::unplugDuringExchange()
{
    QFETCH(QString, exchange);
    becomeReady();
    levelMeter snapshot[QZUDevice::kMeterCount] = {};
    {
        WorkerGate gate(engine_->worker());
        if (exchange == "request")
            engine_->getSampleRate();
        else if (exchange == "reply")
            engine_->zu_recv();
        else
            engine_->getMeterdata(snapshot);
        sim::Bus::instance().unplug(unit_);
        QCoreApplication::processEvents(); // the registry takes in the removal
    }

    QTRY_VERIFY(engine_->idle() && engine_->meter_state == 0);
    if (exchange == "meter") {
        QVERIFY(!engine_->getMeterdata(snapshot));
    } else {
        const QStringList blank{"version 0", "build 0", "name \"\"", "date \"\"", "time \"\""};
        QCOMPARE(log_->lines.mid(0, 5), blank);
    }
    QVERIFY(!engine_->req_hz); // a query that was in the message is gone with it

    // The window drops the unit; presence queries then report none.
    QVERIFY(!engine_->deselect());
    QTRY_VERIFY((engine_->queryExistDevice(), !engine_->is_selected_ret));

    // A query asked for while the unit is away waits for it, unless the unit
    // had last said it was ready: then it is sent, fails, and is gone.
    const bool waits = !engine_->unit_ready;
    engine_->getSampleRate();
    QTRY_VERIFY(engine_->idle());
    QCOMPARE(engine_->req_hz, waits);

    unit_ = sim::plugSimUnit(sim::Model::Strata96);
    QTRY_VERIFY(engine_->queryExistDevice());
    log_->lines.clear();
    engine_->getFirmVersion();
    if (!waits)
        engine_->getSampleRate();
    QTRY_VERIFY(log_->lines.contains("hz 48000") && log_->lines.contains("version 102"));
}

QTEST_GUILESS_MAIN(EngineExchange)
#include "tst_engineexchange.moc"
