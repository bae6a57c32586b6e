// The tree cmake --install lays out, as a packager gets it: every file in its
// place, the udev rule and the metainfo naming every model with the IDs the
// program is built with, the desktop validators' verdict, and the installed
// stratactl finding its engine under libexec/.
#include <QtTest>

#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "strata_config.h"

namespace {

const char kAppId[] = "example.korven.StrataPanel";

struct Run { int status = -1; QByteArray out, err; };

Run run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000))
        return Run();
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

QString hex4(int id, bool upper)
{
    const QString digits = QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
    return upper ? digits.toUpper() : digits;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class InstallTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsEveryFile_data();
    void installsEveryFile();
    void everyModelReachesTheRuleAndTheMetainfo_data();
    void everyModelReachesTheRuleAndTheMetainfo();
    void validatorsAccept_data();
    void validatorsAccept();
    void installedToolFindsItsEngine();

private:
    QString path(const QString &relative) const { return m_prefix.path() + QLatin1Char('/') + relative; }

    QTemporaryDir m_prefix;
};

void InstallTree::initTestCase()
{
    qunsetenv("STRATA_SIMULATE"); // only --simulate picks the unit
    QVERIFY(m_prefix.isValid());
    const Run install = run(QStringLiteral(STRATA_CMAKE_COMMAND),
                            {"--install", STRATA_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY2(install.status == 0, install.err.constData());
}

void InstallTree::installsEveryFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("executable");
    const QString id = QLatin1String(kAppId);
    QTest::newRow("panel") << "bin/strata-panel" << true;
    QTest::newRow("tool") << "bin/stratactl" << true;
    QTest::newRow("engine helper") << "libexec/strata-panel/stratactl-engine" << true;
    QTest::newRow("udev rule") << "lib/udev/rules.d/70-strata-mixers.rules" << false;
    QTest::newRow("menu entry") << "share/applications/" + id + ".desktop" << false;
    QTest::newRow("metainfo") << "share/metainfo/" + id + ".metainfo.xml" << false;
    QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/" + id + ".svg" << false;
    for (int size : {48, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size)))
            << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id) << false;
    QTest::newRow("panel man page") << "share/man/man1/strata-panel.1.gz" << false;
    QTest::newRow("tool man page") << "share/man/man1/stratactl.1.gz" << false;
    QTest::newRow("completion") << "share/bash-completion/completions/stratactl" << false;
    QTest::newRow("licence") << "share/doc/strata-panel/LICENSE.txt" << false;
}

void InstallTree::installsEveryFile()
{
    QFETCH(QString, file);
    QFETCH(bool, executable);
    const QFileInfo info(path(file));
    QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
    QCOMPARE(info.isExecutable(), executable);
    if (file.endsWith(QLatin1String(".gz")))
        QVERIFY(readAll(info.filePath()).startsWith("\x1f\x8b"));
    if (file.endsWith(QLatin1String(".png"))) {
        const int size = file.section(QLatin1Char('/'), 3, 3).section(QLatin1Char('x'), 0, 0).toInt();
        QCOMPARE(QImageReader(info.filePath()).size(), QSize(size, size));
    }
}

void InstallTree::everyModelReachesTheRuleAndTheMetainfo_data()
{
    QTest::addColumn<int>("productId");
    QTest::newRow("Strata 96") << STRATA_USB_PID_96;
    QTest::newRow("Strata 10") << STRATA_USB_PID_10;
    QTest::newRow("Strata 14") << STRATA_USB_PID_14;
    QTest::newRow("Strata 20") << STRATA_USB_PID_20;
}

void InstallTree::everyModelReachesTheRuleAndTheMetainfo()
{
    QFETCH(int, productId);
    const QString rule = QString::fromUtf8(readAll(path("lib/udev/rules.d/70-strata-mixers.rules")));
    QVERIFY(rule.contains(QStringLiteral("ATTR{idVendor}==\"%1\", ATTR{idProduct}==\"%2\", TAG+=\"uaccess\"")
                              .arg(hex4(STRATA_USB_VENDOR_ID, false), hex4(productId, false))));
    const QString metainfo = QString::fromUtf8(readAll(path(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId))));
    QVERIFY(metainfo.contains(QStringLiteral("<modalias>usb:v%1p%2d*</modalias>")
                                  .arg(hex4(STRATA_USB_VENDOR_ID, true), hex4(productId, true))));
}

void InstallTree::validatorsAccept_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file");
    QTest::newRow("menu entry") << "desktop-file-validate" << QStringList()
        << QStringLiteral("share/applications/%1.desktop").arg(kAppId);
    QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net", "--no-color"}
        << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId);
}

void InstallTree::validatorsAccept()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    const Run verdict = run(program, args << path(file));
    QVERIFY2(verdict.status == 0, (verdict.out + verdict.err).constData());
    // desktop-file-validate passes files it only warns about.
    QVERIFY2(!verdict.out.contains("warning:") && !verdict.err.contains("warning:"), verdict.out.constData());
}

void InstallTree::installedToolFindsItsEngine()
{
    const Run tool = run(path("bin/stratactl"), {"--simulate", "Strata 96", "--engine", "info"});
    QVERIFY2(tool.status == 0, tool.err.constData());
    QVERIFY(tool.out.contains("Strata 96"));
}

QTEST_GUILESS_MAIN(InstallTree)
#include "tst_install.moc"
