// The tree cmake --install lays out, as a packager gets it: every file in its
// place, the udev rule and the metainfo naming every model with the IDs the
// program is built with, the desktop validators' verdict, and the installed
// stratactl (with its engine found under libexec/) writing JSON that parses,
// and both programs answering --help and --version without a window.
#include <QtTest>

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
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
    void jsonOutputParses_data();
    void jsonOutputParses();
    void informationWithoutAWindow_data();
    void informationWithoutAWindow();

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
    for (const char *language : {"de", "es", "fr", "it", "ja", "zh_CN"})
        QTest::newRow(language) << QStringLiteral("share/strata-panel/translations/strata-panel_%1.qm").arg(language) << false;
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

// keys: fields every object must have; lines: objects expected, one per line.
void InstallTree::jsonOutputParses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("lines");
    const QStringList info{"product", "version", "build", "firmware", "sample_rate", "serial"};
    QTest::newRow("list") << QStringList{"list"} << QStringList{"units"} << 1;
    QTest::newRow("info") << QStringList{"info"} << info << 1;
    QTest::newRow("meters") << QStringList{"meters"} << QStringList{"meters"} << 1;
    QTest::newRow("meters --watch") << QStringList{"meters", "--watch", "--count", "3", "--interval", "10"}
        << QStringList{"meters"} << 3;
    QTest::newRow("engine info, from libexec") << QStringList{"--engine", "info"} << info << 1;
    QTest::newRow("engine meters --watch") << QStringList{"--engine", "meters", "--watch", "--count", "2"}
        << QStringList{"meters"} << 2;
    const QStringList setting{"setting", "channel", "value"};
    QTest::newRow("get fader") << QStringList{"get", "fader", "analog:3"} << setting << 1;
    QTest::newRow("get mute") << QStringList{"get", "mute", "3"} << setting << 1;
    QTest::newRow("get stereo") << QStringList{"get", "stereo", "line:1"} << setting << 1;
    QTest::newRow("get autopowersave") << QStringList{"get", "autopowersave"} << setting << 1;
    QTest::newRow("get samplerate") << QStringList{"get", "samplerate"} << setting << 1;
}

void InstallTree::jsonOutputParses()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, keys);
    QFETCH(int, lines);
    const Run tool = run(path("bin/stratactl"), QStringList{"--simulate", "Strata 96", "--json"} + args);
    QVERIFY2(tool.status == 0, tool.err.constData());
    const QList<QByteArray> objects = tool.out.trimmed().split('\n');
    QCOMPARE(objects.size(), lines);
    for (const QByteArray &line : objects) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString() + ": " + line.left(200)));
        QVERIFY(doc.isObject());
        for (const QString &key : keys)
            QVERIFY2(doc.object().contains(key), qPrintable(key));
    }
}

// Help and version come without a window: with no display to open, the
// panel would abort if it tried.
void InstallTree::informationWithoutAWindow_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("panel help") << "bin/strata-panel" << "--help" << QByteArray("Usage: ");
    QTest::newRow("panel version") << "bin/strata-panel" << "--version" << QByteArray("strata-panel 2.00 0023\n");
    QTest::newRow("tool help") << "bin/stratactl" << "--help" << QByteArray("Usage: stratactl");
    QTest::newRow("tool version") << "bin/stratactl" << "--version" << QByteArray("stratactl 2.00 0023\n");
}

void InstallTree::informationWithoutAWindow()
{
    QFETCH(QString, program);
    QFETCH(QString, option);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.start(path(program), {option});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QFETCH(QByteArray, out);
    const QByteArray output = process.readAllStandardOutput();
    QVERIFY2(output.startsWith(out), output.constData());
}

QTEST_GUILESS_MAIN(InstallTree)
#include "tst_install.moc"
