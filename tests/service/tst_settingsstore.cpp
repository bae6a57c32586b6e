// The settings store: a missing, unreadable or garbled file reads as empty
// text; every write is on disk when the call returns (checked on the file's
// bytes: a second settings object here would share the first's cache), but
// only a changed value is written, lines a rewrite would drop are set aside
// once, writes go through a symlink to a file only, and the cache follows the file.
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
    QTest::addColumn<QByteArray>("content"); // null: no file; "/": a folder
    QTest::addColumn<QString>("source");
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QByteArray>("file"); // after the write: all of it, or a part when there was more
    QTest::addColumn<bool>("setAside");   // the old bytes kept in StrataMixer.ini.bad
    auto written = [](const char *tag, Write write, const QStringList &log, const QByteArray &file) {
        QTest::newRow(tag) << QByteArray() << QString() << write << true << log << file << false;
    };
    const Write hold1([] { return DataManager::setPeakHold(1); });
    const QStringList logged1{"PeakHoldType:1"};
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
    // Last: the failed write may stay in the toolkit's cache.
    QTest::newRow("a folder in its place") << QByteArray("/") << QString()
                                           << Write([] { return DataManager::setPeakHold(2); }) << false
                                           << QStringList{"PeakHoldType:2"} << QByteArray("missing") << false;
}

void readsAndWrites()
{
    QFETCH(QByteArray, content); QFETCH(Write, write); QFETCH(QByteArray, file);
    if (content == "/")
        QVERIFY(QDir().mkpath(path_));
    else if (!content.isNull())
        writeBehindTheStoresBack(path_, content);
    QTEST(DataManager::getMeterSource(), "source");

    const auto [saved, lines] = debugLinesOf(write);
    QTEST(saved, "saved");
    QTEST(lines, "log");
    const bool exact = content.isNull() || content == "/" || storeBytes() == content;
    QVERIFY2(exact ? storeBytes() == file : storeBytes().contains(file), storeBytes().constData());
    QFile aside(path_ + ".bad");
    QTEST(aside.exists(), "setAside");
    QVERIFY(!aside.exists() || (aside.open(QIODevice::ReadOnly) && aside.readAll() == content));
}

// Through a link to a regular file, or to where one may be created; anything
// else is left as it is and the write fails.
void writesGoThroughASymlink_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("regular file") << "mine.ini";
    QTest::newRow("dangling") << "new.ini";
    QTest::newRow("FIFO") << "fifo";
}

void writesGoThroughASymlink()
{
    QFETCH(QString, target);
    const QString folder = QFileInfo(path_).path() + "/elsewhere";
    if (QDir().mkpath(folder) && target == "mine.ini")
        writeBehindTheStoresBack(folder + "/mine.ini", "[PeakHold]\nType=1\n");
    if (target == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(folder + "/fifo").constData(), 0600), 0);
    QVERIFY(QFile::link(folder + "/" + target, path_));
    QCOMPARE(DataManager::getPeakHold(), QString(target == "mine.ini" ? "1" : ""));
    const bool saved = target != "fifo";
    QCOMPARE(DataManager::setPeakHold(3), saved);
    QCOMPARE(storeBytes(), saved ? QByteArray("[PeakHold]\nType=3\n") : QByteArray("missing"));
    QVERIFY(QFileInfo(path_).isSymLink() && QFileInfo(folder + "/fifo").exists() == !saved);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::System).size(), 1); // no leftovers
}

void cacheReadsTheFileWhenItChanges()
{
    SettingsStore cache;
    QCOMPARE(cache.cached("PeakHold", "Type"), QString());
    QVERIFY(DataManager::setPeakHold(2));
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
