// The settings store, checked on the file's bytes (a second settings object here
// would share the first's cache): every write is on disk when the call returns.
#include <QtTest>

#include <functional>
#include <sys/stat.h>

#include "engineprobe.h"
#include "service/settingsstore.h"

namespace {
using Write = std::function<bool()>;
} // namespace
Q_DECLARE_METATYPE(Write)

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(path_.startsWith(qEnvironmentVariable("HOME") + '/')); }
    void init()
    {
        const QString folder = QFileInfo(path_).path();
        QDir(folder).removeRecursively();
        QFile::remove(folder);
    }

private:
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

private slots:

void readsAndWrites_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file; "/": a folder; "->x": a link to elsewhere/x
    QTest::addColumn<QString>("source");
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QByteArray>("file"); // after the write: all of it, or a part when there was more
    QTest::addColumn<bool>("setAside");   // the old bytes kept in StrataMixer.ini.bad
    auto written = [](const char *tag, Write write, const QStringList &log, const QByteArray &file) {
        QTest::newRow(tag) << QByteArray() << QString() << write << true << log << file << false;
    };
    const Write hold1([] { return DataManager::setPeakHold(1); }), hold3([] { return DataManager::setPeakHold(3); });
    const QStringList logged1{"PeakHoldType:1"}, logged3{"PeakHoldType:3"};
    const QString asideLine = "Settings: " + path_ + " holds lines that cannot be kept; set aside as " + path_ + ".bad";
    written("missing", [] { return true; }, {}, "missing");
    written("soft dialog", [] { return DataManager::setDoNotUpdateSoftDialog("2.01"); }, {},
            "[Update]\nSoftDialog=2.01\n");
    written("info dialog in UTF-8", [] { return DataManager::setDoNotUpdateInfoDialog("verf\u00fcgbar"); }, {},
            "[Update]\nInfoDialog=verf\xc3\xbcgbar\n");
    written("meter numbers", [] { return DataManager::setMeterSource(2) && DataManager::setPeakHold(3); },
            {"MeterSource:2", "PeakHoldType:3"}, "[Meter]\nSource=2\n\n[PeakHold]\nType=3\n");
    QTest::newRow("letters") << QByteArray("[Meter]\nSource=abc\n") << "abc" << hold1 << true << logged1
                             << QByteArray("[PeakHold]\nType=1\n") << false;
    // The user's own lines stay as long as nothing changes, and are set
    // aside before a change would drop them.
    const QByteArray mine("; mine\n[Other]\nfoo=1\nname=M\xfcller\n\n[PeakHold]\nType=1\n");
    QTest::newRow("a value unchanged is not written") << mine << "" << hold1 << true << logged1 << mine << false;
    // Set aside once: later rewrites keep the user's original there.
    QTest::newRow("comments set aside before a change, and kept")
        << mine << ""
        << Write([] { return DataManager::setPeakHold(2) && DataManager::setPeakHold(3) && DataManager::setMeterSource(1); })
        << true << QStringList{"PeakHoldType:2", asideLine, "PeakHoldType:3", "MeterSource:1"}
        << QByteArray("[Meter]\nSource=1\n\n[Other]\nfoo=1\n") << true;
    QTest::newRow("binary junk set aside") << QByteArray("\x00\xff\xfe[\x01\n=\x80", 9) << "" << hold1 << true
                                           << QStringList{"PeakHoldType:1", asideLine}
                                           << QByteArray("[PeakHold]\nType=1\n") << true;
    // Through a link to a regular file, or to where one may be created; anything
    // else is left as it is and the write fails.
    QTest::newRow("link to a file") << QByteArray("->mine.ini") << "7" << hold3 << true << logged3
                                    << QByteArray("[Meter]\nSource=7\n\n[PeakHold]\nType=3\n") << false;
    QTest::newRow("dangling link") << QByteArray("->new.ini") << "" << hold3 << true << logged3
                                   << QByteArray("[PeakHold]\nType=3\n") << false;
    // Last: a failed write may stay in the toolkit's cache.
    QTest::newRow("a folder in its place") << QByteArray("/") << QString()
                                           << Write([] { return DataManager::setPeakHold(2); }) << false
                                           << QStringList{"PeakHoldType:2"} << QByteArray("missing") << false;
    QTest::newRow("link to a FIFO") << QByteArray("->fifo") << "" << hold3 << false << logged3 << QByteArray("missing") << false;
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

    const auto [saved, lines] = debugLinesOf(write);
    QTEST(saved, "saved");
    QTEST(lines, "log");
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
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
