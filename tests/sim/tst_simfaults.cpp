// Fault injection: failed transfers, busy spells, silence and malformed
// replies, none of which may lose or change what the unit was asked.
#include <QtTest>

#include "test_classes.h"
#include "wirekit.h"

using namespace wirekit;
using sim::Xfer;

class FaultInjection : public QObject {
    Q_OBJECT

private slots:
    void faultsLoseNothing_data()
    {
        QTest::addColumn<int>("kind");  // -1: busy for two reads, 0: silence, 1-3: malformNextReply's kind
        QTest::addColumn<int>("reads"); // replies the fault spoils
        QTest::newRow("failed transfers alone") << -2 << 0;
        QTest::newRow("busy") << -1 << 2;
        QTest::newRow("silence") << 0 << 2;
        QTest::newRow("invalid type") << 1 << 1;
        QTest::newRow("array past the end") << 2 << 1;
        QTest::newRow("garbage") << 3 << 1;
    }

    void faultsLoseNothing()
    {
        QFETCH(int, kind);
        QFETCH(int, reads);
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        const Link link(unit);
        link.send(none(Hz));
        if (kind == -1)
            unit->busyFor(2);
        else if (kind == 0)
            unit->silence(true);
        else if (kind > 0)
            unit->malformNextReply(kind);

        // Set in reverse: stalls still come first, then time-outs, then errors.
        // A failed transfer takes no request, writes and uses up nothing.
        unit->failNext(2);
        unit->timeOutNext(1);
        unit->stallNext(1);
        const int before = unit->transferCount();
        Xfer r = Xfer::Ok;
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Stall);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Timeout);
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Error);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Error);
        QCOMPARE(unit->transferCount(), before + 4);
        QCOMPARE(int(unit->receivedMessages().size()), 1);
        QCOMPARE(unit->sampleRate(), 48000u);
        // A request while replies are spoilt is still taken; its answer queues behind.
        QCOMPARE(link.send(u32(SetHz, 44100) + none(GetSerial)), Xfer::Ok);
        QCOMPARE(unit->sampleRate(), 44100u);

        for (int i = 0; i < reads; ++i) {
            uint8_t buf[64];
            memset(buf, 0xEE, sizeof buf);
            QCOMPARE(unit->controlIn(30, 0, 0, buf, sizeof buf), Xfer::Ok);
            const QByteArray raw(reinterpret_cast<char *>(buf), 64);
            const Reply bad = decode(buf, sizeof buf);
            QVERIFY(bad.ready <= 0 && bad.countOf(Hz) == 0); // nothing a careful reader takes for an answer
            if (kind == -1)
                QCOMPARE(cmdsOf(bad.items), QByteArray("a1"));
            else if (kind == 0)
                QCOMPARE(raw, QByteArray(64, '\0'));
            else if (kind == 1)
                QCOMPARE(bad.badType, 9);
            else if (kind == 2)
                QVERIFY(bad.overrun);
            else
                QVERIFY(!bad.clean() && raw.count('\0') < 8);
        }
        unit->silence(false);
        QCOMPARE(cmdsOf(link.read().items), QByteArray("18a1"));
        QCOMPARE(cmdsOf(link.read().items), QByteArray("39a1"));
        QCOMPARE(link.read().ready, 1);
    }

    // A script of steps against a unit on a virtual clock: s:OUTCOME sends a
    // request, r:OUTCOME reads a reply, +MS moves the clock, p:ACTION polls.
    void faultListSchedulesFaults_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("script");
        QTest::newRow("after transfers") << "stall:3@after=2" << "s:ok r:ready s:stall r:stall s:stall s:ok";
        QTest::newRow("send error spares reads") << "senderror:1" << "r:ready s:error r:ready s:ok";
        QTest::newRow("send errors for a time") << "senderror:2s" << "s:error +1999 s:error r:ready +1 s:ok";
        QTest::newRow("io error on a read") << "ioerror:1@after=1" << "r:ready r:error s:ok";
        QTest::newRow("time-out at a time") << "timeout@t=1s" << "s:ok +999 r:ready +1 r:timeout r:ready";
        QTest::newRow("busy spell every period") << "busy:2s@every=30s"
            << "r:ready +30000 r:busy +1999 r:busy +1 r:ready +28000 r:busy +95000 r:busy +2000 r:ready";
        QTest::newRow("silent reads") << "silence:2" << "r:silent s:ok r:silent r:ready";
        QTest::newRow("unplugged and back") << "unplug:2s@t=5s"
            << "p:none +4999 p:none s:ok +1 s:gone p:unplug p:none r:gone +2000 p:replug s:ok r:ready";
        QTest::newRow("glitch nobody unplugs") << "unplug@after=1" << "s:ok s:gone +999 r:gone +1 r:ready";
        QTest::newRow("faults add up") << "stall:1,stall:1@after=0,timeout:1" << "s:stall s:stall s:timeout s:ok";
    }

    void faultListSchedulesFaults()
    {
        QFETCH(QString, list);
        QFETCH(QString, script);
        uint64_t nowUs = 1000000;
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        unit->setClock([&nowUs] { return nowUs; });
        std::vector<sim::FaultRule> rules;
        QVERIFY(sim::parseFaultList(list.toStdString(), &rules, nullptr));
        unit->setFaultPlan(rules);
        const Link link(unit);

        QStringList seen;
        for (const QString &step : script.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('+'))) {
                nowUs += step.mid(1).toULongLong() * 1000;
                seen << step;
            } else if (step.startsWith(QLatin1String("p:"))) {
                static const char *const actions[] = {"none", "unplug", "replug"};
                seen << QStringLiteral("p:") + QLatin1String(actions[int(unit->pollFaults())]);
            } else if (step.startsWith(QLatin1String("s:"))) {
                seen << QStringLiteral("s:") + outcome(link.send(u32(SetHz, 48000)), nullptr);
            } else {
                Xfer r = Xfer::Ok;
                const Reply reply = link.read(&r);
                seen << QStringLiteral("r:") + outcome(r, &reply);
            }
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), script);
    }

    // The same list and the same transfers give the same faults: a tester's
    // run can be replayed.
    void randomFaultsReplay()
    {
        auto run = [](const char *list) {
            auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
            unit->setClock([] { return uint64_t(0); });
            std::vector<sim::FaultRule> rules;
            sim::parseFaultList(list, &rules, nullptr);
            unit->setFaultPlan(rules);
            const Link link(unit);
            QString outcomes;
            for (int i = 0; i < 400; ++i) {
                Xfer r = Xfer::Ok;
                const Reply reply = i % 2 ? link.read(&r) : Reply();
                if (i % 2 == 0)
                    r = link.send(none(Hz));
                outcomes += outcome(r, i % 2 ? &reply : nullptr).left(1);
            }
            return outcomes;
        };
        const QString first = run("random:0.2");
        QCOMPARE(run("random:0.2"), first);
        const int clean = int(first.count(QLatin1Char('o')) + first.count(QLatin1Char('r')));
        QVERIFY2(clean > 200 && clean < 380, qPrintable(first));
        QVERIFY(!run("random:0").contains(QRegularExpression(QStringLiteral("[^or]"))));
    }

private:
    static QString outcome(Xfer r, const Reply *reply)
    {
        switch (r) {
        case Xfer::Ok:
            break;
        case Xfer::Stall: return QStringLiteral("stall");
        case Xfer::Timeout: return QStringLiteral("timeout");
        case Xfer::NoDevice: return QStringLiteral("gone");
        case Xfer::Error: return QStringLiteral("error");
        }
        if (!reply)
            return QStringLiteral("ok");
        if (reply->items.isEmpty())
            return QStringLiteral("silent");
        return reply->ready == 0 ? QStringLiteral("busy") : reply->ready > 0 ? QStringLiteral("ready") : QStringLiteral("answer");
    }
};

STRATA_TEST_CLASS(FaultInjection)
#include "tst_simfaults.moc"
