// The meter read as the unit answers it: 97 meters in template order, six per
// message, READY only in the last, and the meter faults.
#include <QtTest>

#include "wirekit.h"

using namespace wirekit;
using sim::MeterPoint;
using sim::Model;
using sim::SimUnit;

namespace {

// Meters of an answer, read the way a host must: the channel items name the
// meter that follows them.
QVector<MeterPoint> metersOf(const QVector<Reply> &answer)
{
    QVector<MeterPoint> meters;
    uint8_t kind = 0, ch = 0;
    for (const Item &item : itemsOf(answer)) {
        if (item.cmd == Ch)
            kind = uint8_t(item.value);
        else if (item.cmd == ChNum)
            ch = uint8_t(item.value);
        else if (item.cmd == Meter)
            meters.append({kind, ch, uint16_t(item.value)});
    }
    return meters;
}

QVector<Reply> readMeters(SimUnit *unit, const QByteArray &before = QByteArray())
{
    unit->setClock([] { return uint64_t(12345678); });
    Link link(std::shared_ptr<SimUnit>(unit, [](SimUnit *) {}));
    link.send(before + none(GetMeter));
    return link.readAnswer();
}

} // namespace

class MeterLayout : public QObject {
    Q_OBJECT

private slots:
    void fullReadIsSeventeenMessages();
    void messageLayout_data();
    void messageLayout();
};

void MeterLayout::fullReadIsSeventeenMessages()
{
    SimUnit unit(Model::Strata96);
    const QVector<Reply> answer = readMeters(&unit);
    QCOMPARE(answer.size(), 17);
    for (int m = 0; m < answer.size(); ++m) {
        QVERIFY(answer[m].ended);
        QCOMPARE(answer[m].countOf(Meter), m < 16 ? 6 : 1);
        QCOMPARE(answer[m].countOf(Ready), m < 16 ? 0 : 1);
        const QVector<Item> &items = answer[m].items;
        for (int i = 0; i + 2 < items.size(); i += 3) {
            QCOMPARE(items[i].cmd, uint8_t(Ch));
            QCOMPARE(items[i + 1].cmd, uint8_t(ChNum));
            QCOMPARE(items[i + 2].cmd, uint8_t(Meter));
            QCOMPARE(items[i + 2].type, uint8_t(3));
        }
    }

    const int groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
    const QVector<MeterPoint> meters = metersOf(answer);
    const std::vector<MeterPoint> snapshot = unit.meterSnapshot();
    QCOMPARE(meters.size(), SimUnit::kMeterCount);
    int i = 0;
    for (const auto &g : groups) {
        for (int ch = 1; ch <= g[1]; ++ch, ++i) {
            QCOMPARE(int(meters[i].kind), g[0]);
            QCOMPARE(int(meters[i].channel), ch);
            QCOMPARE(meters[i].level, snapshot[size_t(i)].level);
        }
    }
}

void MeterLayout::messageLayout_data()
{
    QTest::addColumn<int>("perReply");
    QTest::addColumn<int>("dropAfter"); // -1: no drop
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("askHzFirst");
    QTest::addColumn<QVector<int>>("perMessage"); // meters in each message, READY in the last

    QTest::newRow("one per reply") << 1 << -1 << 0 << false << QVector<int>(97, 1);
    QTest::newRow("five per reply") << 5 << -1 << 0 << false << QVector<int>(19, 5) + QVector<int>{2};
    // Seven meters would be 70 bytes: the size limit wins, and a last message
    // of six leaves no room for READY, which comes alone.
    QVector<int> sevens;
    for (int i = 0; i < 13; ++i)
        sevens << 6 << 1;
    QTest::newRow("seven per reply") << 7 << -1 << 0 << false << sevens + QVector<int>{6, 0};
    QTest::newRow("dropped at once") << 6 << 0 << 0 << false << QVector<int>{0};
    QTest::newRow("dropped after ten") << 6 << 10 << 0 << false << QVector<int>{6, 4};
    QTest::newRow("three extra") << 6 << -1 << 3 << false << QVector<int>(16, 6) + QVector<int>{4};
    QTest::newRow("behind another answer") << 6 << -1 << 0 << true
                                           << QVector<int>{0} + QVector<int>(16, 6) + QVector<int>{1};
}

void MeterLayout::messageLayout()
{
    QFETCH(int, perReply);
    QFETCH(int, dropAfter);
    QFETCH(int, extra);
    QFETCH(bool, askHzFirst);
    QFETCH(QVector<int>, perMessage);

    SimUnit unit(Model::Strata96);
    unit.setMetersPerReply(perReply);
    unit.setExtraMeters(extra);
    if (dropAfter >= 0)
        unit.dropMetersAfter(dropAfter);
    const QVector<Reply> answer = readMeters(&unit, askHzFirst ? none(Hz) : QByteArray());
    QVector<int> counts;
    for (const Reply &reply : answer) {
        QVERIFY(reply.clean());
        counts.append(reply.countOf(Meter));
    }
    QCOMPARE(counts, perMessage);
    QVERIFY(answer.last().ready());

    const QVector<MeterPoint> meters = metersOf(answer);
    for (int i = SimUnit::kMeterCount; i < meters.size(); ++i) {
        QCOMPARE(int(meters[i].kind), 8);
        QCOMPARE(int(meters[i].channel), i - SimUnit::kMeterCount + 2);
    }
    // A drop cuts one read short; the next is whole again.
    if (dropAfter >= 0)
        QCOMPARE(metersOf(readMeters(&unit)).size(), SimUnit::kMeterCount);
}

QTEST_APPLESS_MAIN(MeterLayout)
#include "tst_simmeterlayout.moc"
