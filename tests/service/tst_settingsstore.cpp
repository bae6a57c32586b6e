// The settings store: reads of a missing, unreadable or garbled file, and
// every write on disk when the call returns (checked on the file's bytes: a
// second settings object in this process would share the first one's cache).
#include <QtTest>

#include <QDateTime>

#include "service/datamanager.h"

namespace {

QString storePath()
{
    return QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/KORVEN/StrataMixer.ini";
}

QByteArray storeBytes()
{
    QFile file(storePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file behind the store's back, with a time stamp of its own
// so that the store sees the change.
void writeStore(const QByteArray &bytes)
{
    static int generation = 0;
    QDir().mkpath(QFileInfo(storePath()).path());
    QFile file(storePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.setFileTime(QDateTime::currentDateTime().addSecs(++generation - 1000),
                     QFileDevice::FileModificationTime);
}

QStringList *debugLines = nullptr;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg && debugLines)
        *debugLines << text;
}

using Getter = QString (*)();
using Setter = void (*)(const QString &);

} // namespace

Q_DECLARE_METATYPE(Getter)
Q_DECLARE_METATYPE(Setter)

class SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(storePath().startsWith(QString::fromLocal8Bit(qgetenv("HOME")))); }
    void init();

    void missingStoreReadsEmpty();
    void textWriteIsOnDiskAtOnce_data();
    void textWriteIsOnDiskAtOnce();
    void numbersAreLoggedAndStored();
    void garbageReadsAsText_data();
    void garbageReadsAsText();
    void unreadableStoreReadsEmptyAndWritesQuietly();
};

void SettingsStore::init()
{
    QDir(storePath()).removeRecursively();
    QFile::remove(storePath());
}

void SettingsStore::missingStoreReadsEmpty()
{
    for (Getter get : {&DataManager::getDoNotUpdateSoftDialog, &DataManager::getDoNotUpdateFirmDialog,
                       &DataManager::getDoNotUpdateInfoDialog, &DataManager::getJsonUrl,
                       &DataManager::getMeterSource, &DataManager::getPeakHold})
        QCOMPARE(get(), QString());
    QVERIFY(!QFile::exists(storePath()));
}

void SettingsStore::textWriteIsOnDiskAtOnce_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<Getter>("get");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("SoftDialog") << Setter(&DataManager::setDoNotUpdateSoftDialog)
                                << Getter(&DataManager::getDoNotUpdateSoftDialog) << "2.01"
                                << QByteArray("[Update]\nSoftDialog=2.01\n");
    QTest::newRow("FirmDialog cleared") << Setter(&DataManager::setDoNotUpdateFirmDialog)
                                        << Getter(&DataManager::getDoNotUpdateFirmDialog) << ""
                                        << QByteArray("[Update]\nFirmDialog=\n");
    QTest::newRow("InfoDialog in UTF-8")
        << Setter(&DataManager::setDoNotUpdateInfoDialog) << Getter(&DataManager::getDoNotUpdateInfoDialog)
        << QString::fromUtf8("verf\xc3\xbc" "gbar") << QByteArray("[Update]\nInfoDialog=verf\xc3\xbcgbar\n");
}

void SettingsStore::textWriteIsOnDiskAtOnce()
{
    QFETCH(Setter, set);
    QFETCH(Getter, get);
    QFETCH(QString, value);
    QFETCH(QByteArray, file);
    set(value);
    QCOMPARE(storeBytes(), file);
    QCOMPARE(get(), value);
}

void SettingsStore::numbersAreLoggedAndStored()
{
    QStringList lines;
    debugLines = &lines;
    const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
    DataManager::setMeterSource(2);
    DataManager::setPeakHold(3);
    qInstallMessageHandler(previous);
    debugLines = nullptr;

    QCOMPARE(lines, (QStringList{"MeterSource:2", "PeakHoldType:3"}));
    QCOMPARE(storeBytes(), QByteArray("[Meter]\nSource=2\n\n[PeakHold]\nType=3\n"));
    QCOMPARE(DataManager::getMeterSource(), QString("2"));
}

void SettingsStore::garbageReadsAsText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("source");
    QTest::addColumn<uint>("number"); // as the window reads it: base 10, 0 when malformed

    QTest::newRow("letters") << QByteArray("[Meter]\nSource=abc\n") << "abc" << 0u;
    QTest::newRow("negative") << QByteArray("[Meter]\nSource=-7\n") << "-7" << 0u;
    QTest::newRow("list") << QByteArray("[Meter]\nSource=1, 2\n") << "" << 0u;
    QTest::newRow("outside the group") << QByteArray("Source=3\n") << "" << 0u;
    QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe[\x01\n=\x80", 9) << "" << 0u;
}

void SettingsStore::garbageReadsAsText()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, source);
    QFETCH(uint, number);

    writeStore(file);
    QCOMPARE(DataManager::getMeterSource(), source);
    QCOMPARE(DataManager::getMeterSource().toUInt(nullptr, 10), number);
    // A write still goes through.
    DataManager::setPeakHold(1);
    QVERIFY(storeBytes().contains("[PeakHold]\nType=1\n"));
}

void SettingsStore::unreadableStoreReadsEmptyAndWritesQuietly()
{
    // A folder where the file should be. The failed write is not reported;
    // this process may still see the value in the toolkit's cache.
    QVERIFY(QDir().mkpath(storePath()));
    QCOMPARE(DataManager::getJsonUrl(), QString());
    DataManager::setMeterSource(2);
    QVERIFY(QDir(storePath()).isEmpty());
}

QTEST_GUILESS_MAIN(SettingsStore)
#include "tst_settingsstore.moc"
