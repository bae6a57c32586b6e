// The rec-function indicators above the strips as the half-second tick
// colours them: lit, blinking, off, and black for the channel strips while
// they show another signal point.
#include <QtTest>

#include <memory>

#include "panelwindow.h"
#include "service/datamanager.h"
#include "ui/mainwindow.h"

using namespace panelwindow;

namespace {

const QString kRed = QStringLiteral(
    "QLabel{background-color: #CB2700; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
const QString kGrey = QStringLiteral(
    "QLabel{background-color: #CECECE; border-radius:1px;  border-color:#000000; border-width:1px; color:#0D0D0D;}");
const QString kBlack = QStringLiteral(
    "QLabel{background-color: #000000; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");

QString recFuncName(int index)
{
    if (index < 22)
        return QStringLiteral("label_recfunc%1").arg(index + 1);
    return index == 22 ? QStringLiteral("label_recfuncL") : QStringLiteral("label_recfuncR");
}

} // namespace

class RecFunctionIndicatorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void channelStateOverTwoTicks_data();
    void channelStateOverTwoTicks();
    void mainBusStateShowsOnBothMainLabels_data();
    void mainBusStateShowsOnBothMainLabels();
    void blinkingLabelsChangeTogether();
    void otherMeterSourceBlackensOnlyChannelLabels_data();
    void otherMeterSourceBlackensOnlyChannelLabels();

private:
    QString style(int index) const;
    std::unique_ptr<MainWindow> m_window;
};

void RecFunctionIndicatorTest::initTestCase()
{
    initPanelResources();
}

void RecFunctionIndicatorTest::init()
{
    DataManager::setMeterSource(0);
    m_window = std::make_unique<MainWindow>();
}

void RecFunctionIndicatorTest::cleanup()
{
    m_window.reset();
}

QString RecFunctionIndicatorTest::style(int index) const
{
    return widget<QLabel>(*m_window, recFuncName(index).toLatin1().constData())->styleSheet();
}

void RecFunctionIndicatorTest::channelStateOverTwoTicks_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("firstTick");
    QTest::addColumn<QString>("secondTick");
    QTest::newRow("lit, first channel") << 1 << 1 << kRed << kRed;
    QTest::newRow("lit, last channel") << 22 << 1 << kRed << kRed;
    // The blink phase starts clear, so a blinking label starts grey.
    QTest::newRow("blinking") << 7 << 2 << kGrey << kRed;
    QTest::newRow("off") << 3 << 0 << kGrey << kGrey;
    QTest::newRow("unknown state 3") << 4 << 3 << kGrey << kGrey;
    QTest::newRow("unknown state 255") << 5 << 255 << kGrey << kGrey;
}

void RecFunctionIndicatorTest::channelStateOverTwoTicks()
{
    QFETCH(int, channel);
    QFETCH(int, state);
    QFETCH(QString, firstTick);
    QFETCH(QString, secondTick);
    QByteArray states(23, '\0');
    states[channel - 1] = static_cast<char>(state);
    m_window->slt_RecvRecFunction(states);

    m_window->timerInterrupt_500ms();
    QCOMPARE(style(channel - 1), firstTick);
    m_window->timerInterrupt_500ms();
    QCOMPARE(style(channel - 1), secondTick);
    m_window->timerInterrupt_500ms();
    QCOMPARE(style(channel - 1), firstTick);
}

void RecFunctionIndicatorTest::mainBusStateShowsOnBothMainLabels_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("firstTick");
    QTest::addColumn<QString>("secondTick");
    QTest::newRow("lit") << 1 << kRed << kRed;
    QTest::newRow("blinking") << 2 << kGrey << kRed;
    QTest::newRow("off") << 0 << kGrey << kGrey;
}

void RecFunctionIndicatorTest::mainBusStateShowsOnBothMainLabels()
{
    QFETCH(int, state);
    QFETCH(QString, firstTick);
    QFETCH(QString, secondTick);
    QByteArray states(23, '\0');
    states[22] = static_cast<char>(state);
    m_window->slt_RecvRecFunction(states);

    m_window->timerInterrupt_500ms();
    QCOMPARE(style(22), firstTick);
    QCOMPARE(style(23), firstTick);
    m_window->timerInterrupt_500ms();
    QCOMPARE(style(22), secondTick);
    QCOMPARE(style(23), secondTick);
}

void RecFunctionIndicatorTest::blinkingLabelsChangeTogether()
{
    m_window->slt_RecvRecFunction(QByteArray(23, '\2'));

    for (int tick = 0; tick < 4; ++tick) {
        m_window->timerInterrupt_500ms();
        const QString first = style(0);
        for (int i = 1; i < 24; ++i)
            QCOMPARE(style(i), first);
    }
}

void RecFunctionIndicatorTest::otherMeterSourceBlackensOnlyChannelLabels_data()
{
    QTest::addColumn<int>("source");
    QTest::newRow("MIC / LINE") << 1;
    QTest::newRow("USB RETURN") << 2;
    QTest::newRow("MTR RETURN") << 3;
    QTest::newRow("unknown source") << 9;
}

void RecFunctionIndicatorTest::otherMeterSourceBlackensOnlyChannelLabels()
{
    QFETCH(int, source);
    m_window->slt_RecvRecFunction(QByteArray(23, '\1'));
    DataManager::setMeterSource(static_cast<uint8_t>(source));

    m_window->timerInterrupt_500ms();

    for (int i = 0; i < 22; ++i)
        QCOMPARE(style(i), kBlack);
    QCOMPARE(style(22), kRed);
    QCOMPARE(style(23), kRed);
}

QTEST_MAIN(RecFunctionIndicatorTest)
#include "test_recfunction.moc"
