// The settings store: a missing, unreadable or garbled file reads as empty
// text, and every write is on disk when the call returns (checked on the
// file's bytes: a second settings object here would share the first's cache).
#include <QtTest>

#include <functional>

#include "service/datamanager.h"

namespace {
QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        debugLines << text;
}

using Write = std::function<void()>;
} // namespace
Q_DECLARE_METATYPE(Write)

class SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(path_.startsWith(qEnvironmentVariable("HOME") + '/')); }
    void init() { QDir(path_).removeRecursively(); QFile::remove(path_); }
    void readsAndWrites_data();
    void readsAndWrites();

private:
    QByteArray storeBytes() const
    {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    const QString path_ = qEnvironmentVariable("XDG_CONFIG_HOME") + "/KORVEN/StrataMixer.ini";
};

void SettingsStore::readsAndWrites_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file; "/": a folder
    QTest::addColumn<QString>("source");
    QTest::addColumn<Write>("write");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QByteArray>("file"); // after the write: all of it, or a part when there was garbage
    auto written = [](const char *tag, Write write, const QStringList &log, const QByteArray &file) {
        QTest::newRow(tag) << QByteArray() << QString() << write << log << file;
    };
    // Any write still goes through.
    auto garbage = [](const char *tag, const QByteArray &content, const QString &source) {
        QTest::newRow(tag) << content << source << Write([] { DataManager::setPeakHold(1); })
                           << QStringList{"PeakHoldType:1"} << QByteArray("[PeakHold]\nType=1\n");
    };
    written("missing", [] {}, {}, "missing");
    written("soft dialog", [] { DataManager::setDoNotUpdateSoftDialog("2.01"); }, {},
            "[Update]\nSoftDialog=2.01\n");
    written("info dialog in UTF-8", [] { DataManager::setDoNotUpdateInfoDialog("verf\u00fcgbar"); }, {},
            "[Update]\nInfoDialog=verf\xc3\xbcgbar\n");
    written("meter numbers", [] { DataManager::setMeterSource(2); DataManager::setPeakHold(3); },
            {"MeterSource:2", "PeakHoldType:3"}, "[Meter]\nSource=2\n\n[PeakHold]\nType=3\n");
    garbage("letters", "[Meter]\nSource=abc\n", "abc");
    garbage("binary junk", QByteArray("\x00\xff\xfe[\x01\n=\x80", 9), "");
    // Last: the failed write may stay in the toolkit's cache.
    QTest::newRow("a folder in its place") << QByteArray("/") << QString()
                                           << Write([] { DataManager::setPeakHold(2); })
                                           << QStringList{"PeakHoldType:2"} << QByteArray("missing");
}

void SettingsStore::readsAndWrites()
{
    QFETCH(QByteArray, content);
    QFETCH(Write, write);
    QFETCH(QByteArray, file);
    if (content == "/") {
        QVERIFY(QDir().mkpath(path_));
    } else if (!content.isNull()) {
        // Behind the store's back, with a time stamp of its own so that the store sees the change.
        static int generation = 0;
        QDir().mkpath(QFileInfo(path_).path());
        QFile out(path_);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        const QDateTime stamp = QDateTime::currentDateTime().addSecs(++generation - 1000);
        out.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    QTEST(DataManager::getMeterSource(), "source");

    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
    write();
    qInstallMessageHandler(previous);
    QTEST(debugLines, "log");
    const bool exact = content.isNull() || content == "/";
    QVERIFY2(exact ? storeBytes() == file : storeBytes().contains(file), storeBytes().constData());
}

QTEST_GUILESS_MAIN(SettingsStore)
#include "tst_settingsstore.moc"
