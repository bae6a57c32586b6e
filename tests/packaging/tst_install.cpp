// The Debian package cpack builds into a temporary folder: its files, the checkers' word, its programs.
#include <QtTest>

#include <QImageReader>
#include <QLibraryInfo>

#include "strata_config.h"
#include "test_table.h"

namespace {

struct Run { int status = -1; QByteArray out, err; };

// Without a display, where a window would abort.
Run run(const QString &program, const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.start(program, args);
    const bool ended = process.waitForFinished(240000) && process.exitStatus() == QProcess::NormalExit;
    return Run{ended ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

const QString kAppId = QStringLiteral(STRATA_APP_ID);
const QString kMenuEntry = "share/applications/" + kAppId + ".desktop";
const QString kMetainfo = "share/metainfo/" + kAppId + ".metainfo.xml";

} // namespace

class InstallTree : public QObject
{
    Q_OBJECT

    QString path(const QString &relative) const { return m_dir.filePath("root/usr/" + relative); }

    QTemporaryDir m_dir;
    QString m_package;

private slots:
    void initTestCase()
    {
        qunsetenv("STRATA_SIMULATE"); // only --simulate picks the unit
        for (const char *tool : {"dpkg-shlibdeps", "lintian", "desktop-file-validate", "appstreamcli"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(tool + QString(" is not installed (scripts/ensure-deps.sh installs it)")));
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
        addColumns<QString, QStringList>("file", "texts");
        QStringList rule, metainfo, menu, files{"bin/strata-panel", "bin/stratactl", "libexec/strata-panel/stratactl-engine",
            "share/man/man1/strata-panel.1.gz", "share/man/man1/stratactl.1.gz", "share/bash-completion/completions/stratactl",
            "share/doc/strata-panel/copyright", "share/doc/strata-panel/changelog.gz", "share/lintian/overrides/strata-panel",
            "share/icons/hicolor/scalable/apps/" + kAppId + ".svg"};
        for (int size : {48, 128, 256})
            files << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        for (int product : {STRATA_USB_PID_96, STRATA_USB_PID_10, STRATA_USB_PID_14, STRATA_USB_PID_20}) {
            rule << QString::asprintf("ATTR{idVendor}==\"%04x\", ATTR{idProduct}==\"%04x\", TAG+=\"uaccess\"",
                                      STRATA_USB_VENDOR_ID, product);
            metainfo << QString::asprintf("<modalias>usb:v%04Xp%04Xd*</modalias>", STRATA_USB_VENDOR_ID, product);
        }
        for (const QString language : {"de", "es", "fr", "it", "ja", "zh_CN"}) {
            files << "share/strata-panel/translations/strata-panel_" + language + ".qm";
            menu << "\nName[" + language + "]=" << "\nComment[" + language + "]=";
            metainfo << "<summary xml:lang=\"" + language + "\">" << "<p xml:lang=\"" + language + "\">";
        }
        QTest::newRow("udev rule") << "lib/udev/rules.d/70-strata-mixers.rules" << rule;
        QTest::newRow("menu entry") << kMenuEntry << menu;
        QTest::newRow("metainfo") << kMetainfo << metainfo;
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << file << QStringList();
    }
    void installsEveryFile()
    {
        QFETCH(QString, file); QFETCH(QStringList, texts);
        const QFileInfo info(path(file));
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
        QCOMPARE(info.isExecutable(), file.startsWith("bin/") || file.startsWith("libexec/"));
        QFile content(info.filePath());
        QVERIFY(content.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(content.readAll());
        for (const QString &expected : texts)
            QVERIFY2(text.contains(expected), qPrintable(expected));
        QVERIFY(!file.endsWith(".gz") || text.startsWith(QChar(0x1f)));
        const int size = file.section('/', 3, 3).section('x', 0, 0).toInt();
        QVERIFY(!file.endsWith(".png") || QImageReader(info.filePath()).size() == QSize(size, size));
    }

    // What the update service runs and the SVG image plugin: each one's package is named once.
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
        QVERIFY2(owner.status == 0, qPrintable(file + " belongs to no installed package"));
        const QString package = QString::fromUtf8(owner.out.left(owner.out.indexOf(':')));
        const Run fields = run("dpkg-deb", {"-f", m_package, "Depends", "Recommends"});
        QStringList named;
        for (const QString &entry : QString::fromUtf8(fields.out).split(QRegularExpression("[,|\\n]")))
            named << entry.section('(', 0, 0).section(':', -1).trimmed();
        QVERIFY2(named.count(package) == 1, qPrintable(package + ": " + fields.out));
    }

    // The checkers and the installed programs (the engine found under libexec/): status 0
    // and the whole output. The checkers may inform (I: tags, overridden ones) but name no fault.
    void programsAnswer_data()
    {
        addColumns<QString, QStringList, QString>("program", "args", "output");
        const QString ctl("bin/stratactl"), panel("bin/strata-panel");
        const QStringList json{"--simulate", "Strata 96", "--json"};
        const QString meters(R"(\{"meters":\[\{"channel":1,[^\n]*\}\]\}\n)");
        const QString untagged("(?:(?![%1]: )[^\\n]*\\n)*"); // no line starting "E: " for %1 = E
        QTest::newRow("menu entry") << "desktop-file-validate" << QStringList{path(kMenuEntry)} << "";
        QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--pedantic", "--no-net", "--no-color",
                                                                   path(kMetainfo)} << untagged.arg("A-Z");
        QTest::newRow("lintian") << "lintian" << QStringList{"--pedantic", "-I", "-E", "--tag-display-limit", "0", m_package}
                                 << untagged.arg("EW");
        QTest::newRow("meters --watch") << ctl << json + QStringList{"meters", "--watch", "--count", "3", "--interval", "10"}
                                        << meters.repeated(3);
        QTest::newRow("engine meters") << ctl << json + QStringList{"--engine", "meters", "--watch", "--count", "2"}
                                       << meters.repeated(2);
        QTest::newRow("panel help") << panel << QStringList{"--help"} << "Usage: [\\s\\S]*";
        QTest::newRow("panel version") << panel << QStringList{"--version"} << "strata-panel 2\\.00 0023\n";
    }
    void programsAnswer()
    {
        QFETCH(QString, program); QFETCH(QStringList, args); QFETCH(QString, output);
        const bool ours = program.contains('/');
        const Run answer = run(ours ? path(program) : QStandardPaths::findExecutable(program), args);
        // Our programs keep the library's diagnostics on standard error; the checkers may complain on either.
        const QByteArray said = ours ? answer.out : answer.out + answer.err;
        QVERIFY2(answer.status == 0, (answer.out + answer.err).constData());
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(output)).match(QString::fromUtf8(said)).hasMatch(),
                 said.constData());
    }
};

QTEST_GUILESS_MAIN(InstallTree)
#include "tst_install.moc"
