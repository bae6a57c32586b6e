// stratactl firmware, checksum and debug, in-process on simulated units and a
// virtual clock: what reaches the unit, how each failure ends, the progress.
#include <QtTest>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/simbus.h"
#include "sim/simunit.h"
#include "stdout_capture.h"
#include "tools/directcommands.h"
#include "tools/firmwareprogress.h"
#include "virtual_clock.h"

namespace {

struct ToolRun { int status; QString error; QByteArray report; };

ToolRun runTool(const QStringList &words)
{
    const ParsedInvocation parsed = parseInvocation(words);
    if (!parsed.error.isEmpty())
        return ToolRun{kExitUsage, parsed.error, {}};
    char *buf = nullptr;
    size_t len = 0;
    std::FILE *out = open_memstream(&buf, &len);
    StdoutCapture capture;
    const Outcome outcome = runDirect(parsed.invocation, out);
    std::fclose(out);
    ToolRun run{outcome.status, outcome.error, QByteArray(buf, int(len))};
    std::free(buf);
    return run;
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// The library's sleep hook takes no context: the unit it pulls and when sit here.
std::shared_ptr<sim::SimUnit> unitToPull;
int sleepsBeforePull = 0;

int pullUnitMidTransfer(uint32_t)
{
    if (unitToPull && --sleepsBeforePull == 0)
        sim::Bus::instance().unplug(std::exchange(unitToPull, nullptr));
    return 0;
}

bool announcedFirmware(const sim::SimUnit &unit)
{
    return unit.firmwareLength() != 0 || !unit.firmwareImage().empty();
}

} // namespace

class StratactlFirmware : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init() { m_clock = std::make_unique<VirtualClock>(); QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        m_clock.reset();
        unitToPull.reset();
        sim::Bus::instance().unplugAll();
    }

    void imageArrivesExactly_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("block");
        QTest::newRow("one byte") << 1 << 256;
        QTest::newRow("one full chunk") << 61 << 256;
        QTest::newRow("blocks of 100") << 1000 << 100;
        QTest::newRow("blocks of 61") << 610 << 61;
        QTest::newRow("70000 bytes") << 70000 << 256;
    }
    void imageArrivesExactly()
    {
        QFETCH(int, size);
        QFETCH(int, block);
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        unit->setFirmwareBlockSize(uint32_t(block));
        const QByteArray image = pattern(size);
        const QString path = write("image.bin", image);
        const ToolRun run = runTool({QStringLiteral("firmware"), path});
        QCOMPARE(run.error, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.report, QStringLiteral("Firmware image of %1 bytes sent and verified by the unit\n").arg(size).toUtf8());
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);

        uint32_t sum = 0;
        for (char c : image)
            sum += uint8_t(c);
        QCOMPARE(runTool({QStringLiteral("checksum"), QStringLiteral("0x10")}).report,
                 QStringLiteral("0x%1 (%2)\n").arg(sum, 8, 16, QLatin1Char('0')).arg(sum).toUtf8());
    }

    // Each refusal is one line, status 1, and the unit hears nothing of a
    // firmware transfer.
    void badInputNeverReachesTheUnit_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("error");
        const int s96 = int(sim::Model::Strata96);
        QTest::newRow("missing") << "nothing.bin" << s96 << "firmware image %1 does not exist";
        QTest::newRow("empty") << "empty.bin" << s96 << "firmware image %1 is empty";
        QTest::newRow("folder") << "folder" << s96 << "%1 is a folder, not a firmware image";
        QTest::newRow("FIFO") << "fifo" << s96 << "%1 is not a regular file, not a firmware image";
        QTest::newRow("unreadable") << "locked.bin" << s96 << "cannot read firmware image %1: Permission denied";
        QTest::newRow("4 GiB") << "huge.bin" << s96 << "firmware image %1 is too large: the unit takes less than 4 GiB";
        QTest::newRow("no unit") << "image.bin" << -1 << "no unit connected";
        QTest::newRow("Strata 10") << "image.bin" << int(sim::Model::Strata10)
                                   << "the unit is a Strata 10: only the Strata 96 takes a firmware image";
        QTest::newRow("Strata 20") << "image.bin" << int(sim::Model::Strata20)
                                   << "the unit is a Strata 20: only the Strata 96 takes a firmware image";
    }
    void badInputNeverReachesTheUnit()
    {
        QFETCH(QString, file);
        QFETCH(int, model);
        QFETCH(QString, error);
        const QString path = m_dir.filePath(file);
        if (file == QLatin1String("empty.bin") || file == QLatin1String("image.bin"))
            write(file, file == QLatin1String("empty.bin") ? QByteArray() : pattern(100));
        if (file == QLatin1String("folder"))
            QVERIFY(QDir(m_dir.path()).mkdir(file));
        if (file == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (file == QLatin1String("locked.bin")) {
            if (geteuid() == 0)
                QSKIP("running as root, which reads any file");
            write(file, pattern(10));
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        if (file == QLatin1String("huge.bin")) {
            QFile huge(path);
            if (!huge.open(QIODevice::WriteOnly) || !huge.resize(qint64(1) << 32))
                QSKIP("the temporary folder's file system cannot hold a sparse 4 GiB file");
        }
        std::shared_ptr<sim::SimUnit> unit = model < 0 ? nullptr : sim::plugSimUnit(sim::Model(model));
        const ToolRun run = runTool({QStringLiteral("firmware"), path});
        QCOMPARE(run.error, error.contains(QLatin1String("%1")) ? error.arg(path) : error);
        QCOMPARE(run.status, int(kExitFailed));
        QVERIFY(run.report.isEmpty());
        if (unit)
            QVERIFY(!announcedFirmware(*unit));
        if (unit && model == int(sim::Model::Strata96))
            QCOMPARE(unit->transferCount(), 0);
    }

    void unitFaultsEndInAClearFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString failed = QStringLiteral("firmware transfer failed: the unit did not take or verify the image");
        QTest::newRow("cancel") << "cancel" << int(kExitCancelled) << "the unit cancelled the firmware transfer";
        QTest::newRow("wrong offset") << "offset" << int(kExitFailed) << failed;
        QTest::newRow("never verifies") << "verify" << int(kExitFailed) << failed;
        QTest::newRow("unplugged") << "unplug" << int(kExitFailed) << "unit was disconnected during the firmware transfer";
    }
    void unitFaultsEndInAClearFailure()
    {
        QFETCH(QString, fault);
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        unit->refuseFirmware(fault == QLatin1String("cancel"));
        unit->misreportFirmwareOffset(fault == QLatin1String("offset"));
        unit->neverFinishFirmware(fault == QLatin1String("verify") || fault == QLatin1String("unplug"));
        if (fault == QLatin1String("unplug")) {
            // Pulled while the host waits for the verification: the first
            // pauses of the whole transfer.
            unitToPull = unit;
            sleepsBeforePull = 3;
            zuctl_set_usleep(&pullUnitMidTransfer);
        }
        const ToolRun run = runTool({QStringLiteral("firmware"), write("image.bin", pattern(5000))});
        QTEST(run.error, "error");
        QTEST(run.status, "status");
        QVERIFY(run.report.isEmpty());
        if (fault == QLatin1String("unplug"))
            QVERIFY(!unitToPull);
    }

    void debugPrintsTheUnitsText()
    {
        auto unit = sim::plugSimUnit(sim::Model::Strata14);
        QCOMPARE(runTool({QStringLiteral("debug")}).report, QByteArray());
        unit->queueDebugText("boot: dsp 2 ok");
        const ToolRun run = runTool({QStringLiteral("debug")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.report, QByteArray("boot: dsp 2 ok\n"));
    }

    void wrongWords_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("error");
        QTest::newRow("firmware alone") << QStringList{"firmware"} << "firmware needs the path of an image";
        QTest::newRow("two images") << QStringList{"firmware", "a", "b"} << "unexpected argument 'b' for firmware";
        QTest::newRow("checksum word") << QStringList{"checksum", "abc"}
                                       << "invalid checksum argument 'abc': give a 32-bit number";
        QTest::newRow("checksum 2^32") << QStringList{"checksum", "4294967296"}
                                       << "invalid checksum argument '4294967296': give a 32-bit number";
        QTest::newRow("debug word") << QStringList{"debug", "now"} << "unexpected argument 'now' for debug";
    }
    void wrongWords()
    {
        QFETCH(QStringList, words);
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        const ToolRun run = runTool(words);
        QTEST(run.error, "error");
        QCOMPARE(run.status, int(kExitUsage));
        QCOMPARE(unit->transferCount(), 0);
    }

    void progressLine_data()
    {
        QTest::addColumn<uint>("pos");
        QTest::addColumn<uint>("length");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<bool>("verifying");
        QTest::addColumn<QString>("line");
        QTest::newRow("start") << 0u << 27000u << qint64(0) << false << "Sending firmware    0%  0/27000 bytes";
        QTest::newRow("first second") << 12288u << 27000u << qint64(900) << false << "Sending firmware   45%  12288/27000 bytes";
        QTest::newRow("rate") << 12288u << 27000u << qint64(2000) << false
                              << "Sending firmware   45%  12288/27000 bytes  6.0 KiB/s  3 s left";
        QTest::newRow("slow") << 100u << 100000u << qint64(10000) << false
                              << "Sending firmware    0%  100/100000 bytes  10 B/s  166 min 30 s left";
        QTest::newRow("4 GiB - 1") << 0xFFFFFFFFu << 0xFFFFFFFFu << qint64(1000) << false
                                   << "Sending firmware  100%  4294967295/4294967295 bytes  4096.0 MiB/s  0 s left";
        QTest::newRow("verifying") << 27000u << 27000u << qint64(5000) << true
                                   << "Verifying firmware  27000 bytes sent, waiting for the unit";
    }
    void progressLine()
    {
        QFETCH(uint, pos);
        QFETCH(uint, length);
        QFETCH(qint64, ms);
        QFETCH(bool, verifying);
        QTEST(firmwareProgressLine(pos, length, ms, verifying), "line");
    }

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    std::unique_ptr<VirtualClock> m_clock;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(StratactlFirmware)
#include "tst_stratactl_firmware.moc"
