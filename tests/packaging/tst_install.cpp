// The package as a user or a packager gets it: cpack builds the Debian
// package into a temporary folder and the tests look into what it unpacks to
// (without dpkg-dev, cmake --install lays the same tree out). Every file in
// its place, every model in the udev rule and the metainfo, every language in
// the menu entry, lintian and the desktop validators without complaint, the
// programs the update service runs declared, and the installed programs
// answering without a window.
#include <QtTest>

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "strata_config.h"

namespace {

struct Run { int status = -1; QByteArray out, err; };

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(240000))
        return Run();
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

QString hex4(int id, bool upper)
{
    const QString digits = QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
    return upper ? digits.toUpper() : digits;
}

const QString kAppId = QStringLiteral(STRATA_APP_ID);
const QString kMenuEntry = "share/applications/" + kAppId + ".desktop";
const QString kMetainfo = "share/metainfo/" + kAppId + ".metainfo.xml";

} // namespace

class InstallTree : public QObject
{
    Q_OBJECT

    QString path(const QString &relative) const { return m_prefix + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir;
    QString m_prefix, m_package;

private slots:
    void initTestCase()
    {
        qunsetenv("STRATA_SIMULATE"); // only --simulate picks the unit
        QVERIFY(m_dir.isValid());
        m_prefix = m_dir.filePath("root/usr");
        if (QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty()) { // dpkg-dev, which cpack needs
            const Run install = run(STRATA_CMAKE_COMMAND, {"--install", STRATA_BUILD_DIR, "--prefix", m_prefix});
            QVERIFY2(install.status == 0, install.err.constData());
            return;
        }
        // Named as the generator, Ninja has no preinstall step: cpack packs what
        // is built instead of first building every target, the tests among them.
        const Run pack = run(STRATA_CPACK_COMMAND, {"-G", "DEB", "-B", m_dir.path(), "--config",
                             STRATA_BUILD_DIR "/CPackConfig.cmake", "-D", "CPACK_CMAKE_GENERATOR=Ninja"});
        const QStringList debs = QDir(m_dir.path()).entryList({"*.deb"});
        QVERIFY2(pack.status == 0 && debs.size() == 1, (pack.out + pack.err).constData());
        m_package = m_dir.filePath(debs.first());
        QCOMPARE(run("dpkg-deb", {"-x", m_package, m_dir.filePath("root")}).status, 0);
    }

    // texts: what the file must contain (each model's IDs, each language).
    void installsEveryFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("texts");
        QStringList rule, modaliases, menuLanguages, metainfoLanguages;
        for (int productId : {STRATA_USB_PID_96, STRATA_USB_PID_10, STRATA_USB_PID_14, STRATA_USB_PID_20}) {
            rule << QStringLiteral("ATTR{idVendor}==\"%1\", ATTR{idProduct}==\"%2\", TAG+=\"uaccess\"")
                        .arg(hex4(STRATA_USB_VENDOR_ID, false), hex4(productId, false));
            modaliases << QStringLiteral("<modalias>usb:v%1p%2d*</modalias>")
                              .arg(hex4(STRATA_USB_VENDOR_ID, true), hex4(productId, true));
        }
        for (const QString language : {"de", "es", "fr", "it", "ja", "zh_CN"}) {
            QTest::newRow(qPrintable(language)) << "share/strata-panel/translations/strata-panel_" + language + ".qm"
                                                << QStringList();
            menuLanguages << "\nName[" + language + "]=" << "\nComment[" + language + "]=";
            metainfoLanguages << "<summary xml:lang=\"" + language + "\">" << "<p xml:lang=\"" + language + "\">";
        }
        QTest::newRow("udev rule") << "lib/udev/rules.d/70-strata-mixers.rules" << rule;
        QTest::newRow("menu entry") << kMenuEntry << menuLanguages;
        QTest::newRow("metainfo") << kMetainfo << modaliases + metainfoLanguages;
        for (const char *file : {"bin/strata-panel", "bin/stratactl", "libexec/strata-panel/stratactl-engine",
                                 "share/man/man1/strata-panel.1.gz", "share/man/man1/stratactl.1.gz",
                                 "share/bash-completion/completions/stratactl", "share/doc/strata-panel/copyright",
                                 "share/doc/strata-panel/changelog.gz", "share/lintian/overrides/strata-panel"})
            QTest::newRow(qPrintable(file)) << file << QStringList();
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/" + kAppId + ".svg" << QStringList();
        for (int size : {48, 128, 256})
            QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size)))
                << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId) << QStringList();
    }
    void installsEveryFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, texts);
        const QFileInfo info(path(file));
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
        QCOMPARE(info.isExecutable(), file.startsWith(QLatin1String("bin/")) || file.startsWith(QLatin1String("libexec/")));
        QFile content(info.filePath());
        QVERIFY(content.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(content.readAll());
        for (const QString &expected : texts)
            QVERIFY2(text.contains(expected), qPrintable(expected));
        if (file.endsWith(QLatin1String(".gz")))
            QVERIFY(text.startsWith(QChar(0x1f)));
        if (file.endsWith(QLatin1String(".png"))) {
            const int size = file.section(QLatin1Char('/'), 3, 3).section(QLatin1Char('x'), 0, 0).toInt();
            QCOMPARE(QImageReader(info.filePath()).size(), QSize(size, size));
        }
    }

    // complaint: the output lines that fail the row. lintian's I: tags and
    // overridden ones only inform; the validators must have nothing to say.
    void checkersAccept_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("menu entry") << "desktop-file-validate" << QStringList{path(kMenuEntry)} << "\\S";
        QTest::newRow("metainfo") << "appstreamcli"
            << QStringList{"validate", "--pedantic", "--no-net", "--no-color", path(kMetainfo)} << "^[A-Z]: ";
        QTest::newRow("package") << "lintian" << QStringList{"--pedantic", "-I", "-E", "--tag-display-limit", "0", m_package}
                                 << "^[EW]: ";
    }
    void checkersAccept()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty() || args.contains(QString()))
            QSKIP(qPrintable(program.isEmpty() ? tool + " is not installed" : "dpkg-dev is not installed: no package"));
        const Run verdict = run(program, args);
        const QByteArray said = verdict.out + verdict.err;
        QVERIFY2(verdict.status == 0 || tool == "lintian", said.constData());
        QFETCH(QString, complaint);
        const QRegularExpression bad(complaint, QRegularExpression::MultilineOption);
        QVERIFY2(!bad.match(QString::fromUtf8(said)).hasMatch(), said.constData());
    }

    // What the update service runs and the SVG image plugin the pictures load
    // through: the package providing each is named once in Depends or Recommends.
    void runTimeNeedsDeclaredOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("unzip") << QStandardPaths::findExecutable("unzip");
        QTest::newRow("xdg-open") << QStandardPaths::findExecutable("xdg-open");
        QTest::newRow("SVG image plugin") << QLibraryInfo::location(QLibraryInfo::PluginsPath) + "/imageformats/libqsvg.so";
    }
    void runTimeNeedsDeclaredOnce()
    {
        QFETCH(QString, file);
        const Run owner = run("dpkg-query", {"-S", QFileInfo(file).canonicalFilePath()});
        if (m_package.isEmpty() || owner.status != 0)
            QSKIP(qPrintable(m_package.isEmpty() ? QStringLiteral("dpkg-dev is not installed: no package")
                                                 : QTest::currentDataTag() + QStringLiteral(" is not installed")));
        const QString package = QString::fromUtf8(owner.out.left(owner.out.indexOf(':')));
        const Run fields = run("dpkg-deb", {"-f", m_package, "Depends", "Recommends"});
        QStringList named;
        for (const QString &entry : QString::fromUtf8(fields.out).split(QRegularExpression("[,|\\n]")))
            named << entry.section(QLatin1Char('('), 0, 0).section(QLatin1Char(':'), -1).trimmed();
        QVERIFY2(named.count(package) == 1, qPrintable(package + ": " + fields.out));
    }

    // The installed programs, the engine found under libexec/: JSON lines that
    // parse, each with its keys (lines: objects expected), or plain text that
    // starts so (lines 0), and all without a display, where a window would abort.
    void installedProgramsAnswer_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("lines");
        const QString ctl = QStringLiteral("bin/stratactl");
        const QStringList json{"--simulate", "Strata 96", "--json"};
        const QStringList info{"product", "version", "build", "firmware", "sample_rate", "serial"};
        const QStringList meters{"meters"}, setting{"setting", "channel", "value"};
        QTest::newRow("list") << ctl << json + QStringList{"list"} << QStringList{"units"} << 1;
        QTest::newRow("info") << ctl << json + QStringList{"info"} << info << 1;
        QTest::newRow("meters") << ctl << json + meters << meters << 1;
        QTest::newRow("meters --watch") << ctl << json + QStringList{"meters", "--watch", "--count", "3", "--interval", "10"}
                                        << meters << 3;
        QTest::newRow("engine info") << ctl << json + QStringList{"--engine", "info"} << info << 1;
        QTest::newRow("engine meters") << ctl << json + QStringList{"--engine", "meters", "--watch", "--count", "2"}
                                       << meters << 2;
        for (const QString get : {"fader analog:3", "mute 3", "stereo line:1", "autopowersave", "samplerate"})
            QTest::newRow(qPrintable("get " + get)) << ctl << json + QStringList{"get"} + get.split(' ') << setting << 1;
        QTest::newRow("panel help") << "bin/strata-panel" << QStringList{"--help"} << QStringList{"Usage: "} << 0;
        QTest::newRow("panel version") << "bin/strata-panel" << QStringList{"--version"}
                                       << QStringList{"strata-panel 2.00 0023\n"} << 0;
        QTest::newRow("tool help") << ctl << QStringList{"--help"} << QStringList{"Usage: stratactl"} << 0;
        QTest::newRow("tool version") << ctl << QStringList{"--version"} << QStringList{"stratactl 2.00 0023\n"} << 0;
    }
    void installedProgramsAnswer()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QStringList, keys);
        QFETCH(int, lines);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        const Run answer = run(path(program), args, env);
        QVERIFY2(answer.status == 0, answer.err.constData());
        if (lines == 0)
            QVERIFY2(answer.out.startsWith(keys.first().toUtf8()), answer.out.constData());
        const QList<QByteArray> objects = answer.out.trimmed().split('\n');
        QCOMPARE(objects.size(), lines ? lines : objects.size());
        for (const QByteArray &line : objects.mid(0, lines)) {
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString() + ": " + line.left(200)));
            for (const QString &key : keys)
                QVERIFY2(doc.object().contains(key), qPrintable(key));
        }
    }
};

QTEST_GUILESS_MAIN(InstallTree)
#include "tst_install.moc"
