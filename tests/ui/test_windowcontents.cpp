// What the window shows as its size changes and the unit comes and goes, its
// Help menu, and every compiled-in picture at the size it is shown.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cmath>
#include <memory>

#include "panelwindow.h"
#include "service/datamanager.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "strata_config.h"
#include "test_table.h"
#include "ui/aboutdialog.h"
#include "ui/licensedialog.h"

using namespace panelwindow;

namespace {

constexpr int kTimeoutMs = 5000;
const char *const kModelWidgets[] = {
    "pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
    "label_Strata96_info", "label_Strata10_info", "label_Strata14_info", "label_Strata20_info",
    "label_Strata96photo", "label_Strata10photo", "label_Strata14photo", "label_Strata20photo"};

const QStringList k96Widgets{"pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
                              "label_Strata96_info", "label_Strata96photo"};

// Every meter of the unit, in reply order, stands 0.5 dB below the one
// before, so a readout names the snapshot record it came from.
QString readoutOf(int record)
{
    return QString::number(-1.0 - 0.5 * record, 'f', 1);
}

bool servicePresence(bool present)
{
    return QTest::qWaitFor([present] { return dm.queryExistDevice() == present; }, kTimeoutMs);
}

struct Factors {
    float sx, sy, s, ex, ey;
};

Factors factors(int w, int h)
{
    const float sx = float(w) / 1110.0f, sy = float(h) / 650.0f;
    return {sx, sy, std::min(sx, sy), std::max(sx - sy, 0.0f), std::max(sy - sx, 0.0f)};
}

int tz(float v) { return int(v); }
int nr(float v) { return int(std::lround(v)); }

// Scales the window as if its content area below the menu bar became w x h.
void resizeContent(MainWindow &window, int w, int h)
{
    const int menu = window.menuBar()->isNativeMenuBar() ? 0 : window.menuBar()->sizeHint().height();
    QResizeEvent event(QSize(w, h + menu), window.size());
    QCoreApplication::sendEvent(&window, &event);
}

// Runs `inspect` on the modal T that `open` shows, then closes it; false if none showed.
template <class T, class Open, class Inspect>
bool modalShows(Open open, Inspect inspect)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *shown = qobject_cast<T *>(modal)) {
            seen = true;
            inspect(shown);
        }
        if (modal)
            modal->close();
    });
    open();
    return seen;
}

} // namespace

class WindowContentsTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        initPanelTest();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    void init()
    {
        m_opened.clear();
        QVERIFY(noUnit());
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
    }
    void cleanup()
    {
        m_window.reset();
        sim::Bus::instance().unplugAll();
    }

    void scaledToTheWindow_data()
    {
        addColumns<int, int>("w", "h");
        QTest::newRow("minimum") << 1120 << 680;
        QTest::newRow("wide 2400x700") << 2400 << 700;
        QTest::newRow("tall 1120x1300") << 1120 << 1300;
    }
    // Rectangles by the design rule or its stated exceptions, fonts, pictures.
    void scaledToTheWindow()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        resizeContent(window(), 1300, 700);   // a resize must leave nothing where the old scale put it
        resizeContent(window(), w, h);
        MainWindow fresh;
        resizeContent(fresh, w, h);
        for (const char *name : {"label_meter1", "label_meter22", "label_meter_mainL", "label_peak5", "label_PeakInd9"})
            QCOMPARE(widget(window(), name)->geometry(), widget(fresh, name)->geometry());
        const Factors f = factors(w, h);
        const struct {
            const char *name;
            int x, y, w, h, font;
        } rows[] = {
            {"label_btnInfo", 190, 9, 138, 25, 16},       {"pushButton_Meter", 337, 9, 138, 25, 16},
            {"label_textSWVer", 650, 201, 150, 16, 17},   {"label_FWVer", 803, 232, 161, 16, 17},
            {"label_textSamplerate", 652, 263, 150, 16, 17}, {"label_SerialNumber", 336, 447, 161, 16, 17},
            {"label_BufferSize", 810, 357, 150, 16, 17},  {"label_BufferBg", 623, 414, 356, 33, 0},
            {"horizontalSlider_BufferSize", 620, 410, 353, 14, 0}, {"label_infobg", 0, 0, 1110, 650, 0},
            {"label_bg", 0, 0, 1110, 650, 0},             {"pushButton_PeakHoldOff", 23, 81, 50, 40, 16},
            {"pushButton_PeakHoldInf", 197, 81, 50, 40, 24}, {"pushButton_HoldClear", 261, 81, 65, 40, 16},
            {"label_bgPHL", 23, 64, 303, 2, 0},           {"pushButton_MTR", 914, 109, 173, 21, 14},
            {"label_btnMeter", 337, 9, 138, 25, 16},      {"label_recfunc1", 47, 570, 26, 17, 16},
            {"label_recfunc9", 387, 570, 26, 17, 16},     {"label_recfunc13", 523, 570, 60, 17, 16},
            {"label_recfunc14", 557, 570, 26, 17, 16},    {"label_recfunc21", 867, 570, 60, 17, 16},
            {"label_recfunc22", 901, 570, 26, 17, 16},    {"label_recfuncL", 1008, 570, 52, 17, 16},
            {"label_recfuncR", 1039, 570, 26, 17, 16},    {"pushButton_peakText1", 37, 546, 41, 21, 13},
            {"pushButton_peakText16", 615, 546, 41, 21, 13}, {"pushButton_peakText17", 720, 546, 41, 21, 13},
            {"pushButton_peakTextL", 994, 546, 41, 21, 13}, {"pushButton_peakTextR", 1030, 546, 41, 21, 13},
        };
        for (const auto &r : rows) {
            const QWidget *wdg = widget(window(), r.name);
            const QRect rule(tz(r.x * f.sx), tz(r.y * f.sy), tz(r.w * f.sx), tz(r.h * f.sy));
            // The information rows keep their place and centre, with room for their glyphs.
            if (r.font == 17)
                QVERIFY(wdg->x() == rule.x() && wdg->width() >= rule.width() && wdg->height() >= rule.height()
                        && qAbs(wdg->geometry().center().y() - rule.center().y()) <= 1);
            else
                QCOMPARE(wdg->geometry(), rule);
            if (r.font)
                QCOMPARE(wdg->font().pixelSize(), tz(r.font * f.s));
        }
        QCOMPARE(widget(window(), "label_textSWVer")->font().weight(), int(QFont::Normal));
        QCOMPARE(widget(window(), "label_DeadBg")->geometry(), QRect(0, 0, w, h));
        QCOMPARE(widget(window(), "label_DeadBg")->font().pixelSize(), tz(24 * f.s));
        QCOMPARE(widget(window(), "scrollArea")->size(), QSize(tz(f.sx * 1110), tz(f.sy * 650)));
        const auto geometry = [&](const char *name) { return widget(window(), name)->geometry(); };
        QCOMPARE(geometry("label_KORVEN_info"), QRect(tz(23 * f.sx), tz(13 * f.sy + 9 * f.ey), tz(108 * f.s), tz(18 * f.s)));
        QCOMPARE(geometry("label_KORVEN_meter"), QRect(tz(23 * f.sx), tz(13 * f.sy), tz(108 * f.s), tz(18 * f.s)));
        QCOMPARE(geometry("label_KORVEN_dead"), QRect(tz(23 * f.sx), tz(13 * f.sy), tz(108 * f.s), tz(18 * f.s)));
        QCOMPARE(geometry("label_Strata96_info"),
                 QRect(tz(w - 23 - 172 * f.s), tz(13 * f.sy + 8 * f.ey), tz(172 * f.s), tz(16 * f.s)));
        QCOMPARE(geometry("label_Strata14_info"),
                 QRect(tz(w - 23 - 122 * f.s), tz(13 * f.sy + 8 * f.ey), tz(122 * f.s), tz(16 * f.s)));
        QCOMPARE(geometry("label_Strata20_info").x(), tz(w - 23 - 132 * f.s));
        QCOMPARE(geometry("label_Strata96_meter"), QRect(tz(w - 23 - 172 * f.s), tz(13 * f.sy), tz(172 * f.s), tz(16 * f.s)));
        QCOMPARE(geometry("label_Strata96photo"),
                 QRect(tz(99 * f.sx + 220 * f.ex), tz(114 * f.sy + 153 * f.ey), nr(441 * f.s), nr(306 * f.s)));
        QCOMPARE(geometry("label_Strata10photo"),
                 QRect(tz(30 * f.sx + 276 * f.ex), tz(10 * f.sy + 282 * f.ey), nr(552 * f.s), nr(486 * f.s)));
        QCOMPARE(geometry("label_Strata20photo"),
                 QRect(tz(35 * f.sx + 276 * f.ex), tz(282 * f.ey), nr(552 * f.s), nr(486 * f.s)));
        QCOMPARE(geometry("label_bgPHText"), QRect(tz(120 * f.sx + 71 * f.ex), tz(55 * f.sy), tz(88 * f.s), tz(19 * f.sy)));
        QCOMPARE(geometry("label_bgMSText"), QRect(tz(855 * f.sx + 53 * f.ex), tz(55 * f.sy), tz(106 * f.s), tz(19 * f.sy)));
        QCOMPARE(geometry("label_barMask3"), QRect(tz(750 * f.sx), nr(205 * f.sy), tz(16 * f.sx), tz(342 * f.sy)));

        // Pictures: the bar at its own size, the backgrounds stretched to
        // their labels.
        const qreal ratio = window().devicePixelRatioF();
        const auto pictureSize = [&](const char *name) {
            return widget<QLabel>(window(), name)->pixmap(Qt::ReturnByValue).size() / ratio;
        };
        QCOMPARE(pictureSize("label_meter7"), QSize(tz(18 * f.sx), tz(340 * f.sy)));
        QCOMPARE(pictureSize("label_meter_mainR"), QSize(tz(18 * f.sx), tz(340 * f.sy)));
        QCOMPARE(pictureSize("label_bg"), geometry("label_bg").size());
        QCOMPARE(pictureSize("label_infobg"), geometry("label_infobg").size());
        QCOMPARE(pictureSize("label_Strata10_info"), geometry("label_Strata10_info").size());
        const QImage logo = widget<QLabel>(window(), "label_KORVEN_info")->pixmap(Qt::ReturnByValue).toImage();
        int drawn = 0;
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                drawn += qAlpha(logo.pixel(x, y)) > 0;
        QVERIFY2(drawn > 0, "the brand logo was not drawn");
    }

    // The window's own minimum, menu bar and all, leaves the content the
    // design's minimum of 1120 x 680. Then the Window menu's sizes.
    void minimumAndWindowMenuSizes()
    {
        QResizeEvent smallest(window().minimumSize(), window().size());
        QCoreApplication::sendEvent(&window(), &smallest);
        QCOMPARE(widget(window(), "scrollArea")->size(), QSize(1120, 680));
        const QString slider = widget(window(), "horizontalSlider_BufferSize")->styleSheet();
        QVERIFY2(slider.startsWith(QStringLiteral("QSlider{ background-image: url(:/Resource/trans.png); }"))
                     && slider.endsWith(QStringLiteral("QSlider::handle:horizontal{ background: #22A1FF; border: 1.00901px "
                         "solid #2A2A2A; height: 14.1261px; width: 14.1261px; margin: -7.06306px 0px; border-radius: 7.06306px;}")),
                 qPrintable(slider));

        // The default size centres the design's 1110 x 650 on the offscreen
        // 800 x 600 screen from its origin: negative x, y below the title bar.
        window().show();
        widget<QAction>(window(), "actionDefaultSize")->trigger();
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 600));
        const int titleBar = window().frameGeometry().height() - window().geometry().height();
        QCOMPARE(window().geometry().topLeft(), QPoint(-155, -25 + titleBar));
        QVERIFY(window().width() >= 1120 && window().height() >= 680);
        widget<QAction>(window(), "actionMinimum")->trigger();
        QVERIFY(window().isMinimized());
        widget<QAction>(window(), "actionMaximum")->trigger();
        QVERIFY(window().isMaximized());
    }

    // An empty name is how a failed exchange is reported: no unit, no line.
    void onlyExactNamesAreTaken_data()
    {
        addColumns<QString, QString, bool, bool>("name", "shown", "logged", "failedBefore");
        for (const char *model : {"Strata 96", "Strata 10", "Strata 14", "Strata 20"})
            QTest::newRow(model) << model << model << false << false;
        for (const char *odd : {"strata 96", "Strata 96 ", "Strata20", "Strata 30", "Strata 96\u00e9"})
            QTest::newRow(odd) << QString::fromUtf8(odd) << "Strata 14" << true << false;
        QTest::newRow("empty") << "" << "No Device" << false << false;
        // The last name taken again waits for the one-second tick to forget it.
        QTest::newRow("same after a failed exchange") << "Strata 14" << "No Device" << false << true;
    }
    void onlyExactNamesAreTaken()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(bool, logged);
        QFETCH(bool, failedBefore);
        window().slt_RecvDeviceName(QStringLiteral("Strata 14"));
        if (failedBefore)
            window().slt_RecvDeviceName(QString());
        DebugCapture debug;
        window().slt_RecvDeviceName(name);
        QCOMPARE(text(window(), "label_Device"), shown);
        QCOMPARE(debug.lines(), logged ? QStringList{QStringLiteral("[ERROR]Connected Device is [%1]").arg(name)}
                                       : QStringList());
    }

    // The information rows; a failed exchange reports zeros or an empty text.
    void informationRows_data()
    {
        addColumns<QString, QString, QString>("label", "value", "shown");
        const char *const rows[][4] = {
            {"1.02 build 23", "label_FWVer", "102 23", "V1.02 0023"},
            {"minor below ten", "label_FWVer", "5 7", "V0.05 0007"},
            {"major above nine, build never cut", "label_FWVer", "1234 12345", "V12.34 12345"},
            {"zeros keep the last", "label_FWVer", "0 0", "V1.02 0023"},
            {"44.1", "label_Samplerate", "44100", "44.1 kHz"}, {"48", "label_Samplerate", "48000", "48 kHz"},
            {"88.2", "label_Samplerate", "88200", "88.2 kHz"}, {"96", "label_Samplerate", "96000", "96 kHz"},
            {"176.4", "label_Samplerate", "176400", "176.4 kHz"}, {"192", "label_Samplerate", "192000", "192 kHz"},
            {"32 not offered", "label_Samplerate", "32000", "-- kHz"}, {"one off", "label_Samplerate", "48001", "-- kHz"},
            {"serial", "label_SerialNumber", "KS96-004211", "KS96-004211"},
            {"no serial", "label_SerialNumber", "", "-------"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << r[1] << r[2] << r[3];
    }
    void informationRows()
    {
        QFETCH(QString, label);
        QFETCH(QString, value);
        // Earlier values first, so that keeping or falling back is seen.
        window().slt_RecvFirmVersion(102);
        window().slt_RecvFirmBuld(23);
        window().slt_RecvSampleRate(44100);
        window().slt_RecvSerialNumber(QStringLiteral("KS96-000001"));
        const QStringList parts = value.split(' ');
        if (label == QLatin1String("label_FWVer")) {
            window().slt_RecvFirmVersion(parts[0].toUShort());
            window().slt_RecvFirmBuld(parts[1].toUShort());
        } else if (label == QLatin1String("label_Samplerate")) {
            window().slt_RecvSampleRate(value.toUInt());
        } else {
            window().slt_RecvSerialNumber(value);
        }
        QTEST(text(window(), qPrintable(label)), "shown");
    }

    // The model is read at the click: with no unit the Strata 20 pages open;
    // the documents are international on every system.
    void menuItemsOpenThePageOfTheModelAtTheClick_data()
    {
        addColumns<QString, QString, QStringList>("locale", "model", "urls");
        const QString web = QStringLiteral("https://" STRATA_WEB_HOST);
        QTest::newRow("Japanese, Strata 14") << "ja_JP" << "Strata 14" << QStringList{
            web + "/jp/product/strata_20/top", web + "/jp/product/strata_14/support", web + "/int/product/strata_14/docs",
            "https://" STRATA_ACCOUNT_HOST_JA "/ja/customer/account/login"};
        QTest::newRow("English, Strata 96") << "en_US" << "Strata 96" << QStringList{
            web + "/int/product/strata_20/top", web + "/int/product/strata_96/support", web + "/int/product/strata_96/docs",
            "https://" STRATA_ACCOUNT_HOST "/en/customer/account/login"};
        QTest::newRow("Japanese, Strata 10") << "ja_JP" << "Strata 10" << QStringList{
            web + "/jp/product/strata_20/top", web + "/jp/product/strata_10/support", web + "/int/product/strata_10/docs",
            "https://" STRATA_ACCOUNT_HOST_JA "/ja/customer/account/login"};
    }
    void menuItemsOpenThePageOfTheModelAtTheClick()
    {
        QFETCH(QString, locale);
        QFETCH(QString, model);
        MainWindow &panel = window();
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        widget<QAction>(panel, "actionProduct_Information")->trigger();
        panel.slt_RecvDeviceName(model);
        widget<QAction>(panel, "actionFAQ")->trigger();
        widget<QAction>(panel, "actionManual")->trigger();
        widget<QAction>(panel, "actionKORVEN_ID")->trigger();
        QLocale::setDefault(previous);
        QStringList opened;
        for (const QUrl &url : m_opened)
            opened.append(url.toString());
        QTEST(opened, "urls");
    }

    void licenceTextLosesItsFormFeeds()
    {
        const QByteArray file("page 1\n\f\n\xc2\xa9 2026\f");
        const QString shown = QString::fromUtf8("page 1\n\n\u00a9 2026");
        QTemporaryDir dir;
        QFile out(dir.filePath(QStringLiteral("LICENSE.txt")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();
        QString read;
        QVERIFY(LicenseDialog::readText(out.fileName(), &read));
        QCOMPARE(read, shown);
        LicenseDialog dialog(read);
        QCOMPARE(dialog.browser()->toPlainText().trimmed(), shown.trimmed());
    }

    // The licence item, a missing licence file and the About item each show their own box.
    void helpBoxes()
    {
        MainWindow &panel = window();
        QVERIFY(modalShows<LicenseDialog>([&] { widget<QAction>(panel, "actionLicense")->trigger(); }, [](auto *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("License Information"));
            QCOMPARE(dialog->size(), QSize(650, 400));
            QVERIFY(!dialog->parentWidget() && dialog->browser()->isReadOnly());
            QVERIFY(dialog->browser()->toPlainText().startsWith(QStringLiteral("KORVEN StrataMixer Settings Panel")));
            QVERIFY(dialog->browser()->toPlainText().contains(QStringLiteral("MIT License")));
        }));
        QVERIFY(modalShows<QMessageBox>(
            [&] { LicenseDialog::run(&panel, QStringLiteral(":/Resource/no-such-licence.txt")); }, [&](auto *box) {
                QCOMPARE(box->parentWidget(), &panel);
                QCOMPARE(box->windowTitle(), QStringLiteral("File Missing!"));
                QCOMPARE(box->text(), QStringLiteral("There is a possibility that the file has been moved or deleted."));
                QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            }));
        QVERIFY(modalShows<AboutDialog>([&] { widget<QAction>(panel, "actionKORVEN_StrataMixer")->trigger(); }, [](auto *about) {
            QCOMPARE(about->windowTitle(), QStringLiteral("KORVEN Strata Mixer"));
            QCOMPARE(about->minimumSize(), QSize(620, 200));
            QCOMPARE(about->maximumSize(), QSize(620, 200));
            QVERIFY(!(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            const struct {
                const char *name, *text;
                int pixels;
                bool bold;
            } labels[] = {{"label_product", "USB Audio Interface<p>KORVEN StrataMixer", 18, true},
                          {"label_version", "Software Ver. : V2.00 0023", 13, false},
                          {"label_copyright", nullptr, 9, false}};
            for (const auto &l : labels) {
                auto *label = about->template findChild<QLabel *>(QLatin1String(l.name));
                QVERIFY(label);
                if (l.text)
                    QCOMPARE(label->text(), QLatin1String(l.text));
                QCOMPARE(label->font().pixelSize(), l.pixels);
                QCOMPARE(label->font().bold(), l.bold);
            }
            QVERIFY(!about->template findChild<QLabel *>(QStringLiteral("label_icon"))->pixmap(Qt::ReturnByValue).isNull());
            QVERIFY(about->template findChild<QLabel *>(QStringLiteral("label_copyright"))->alignment() & Qt::AlignRight);
        }));
    }

    // Every compiled-in path the panel loads must be there and load at the
    // size the window gives it; a vector picture of other proportions is
    // distorted when a label stretches it.
    void loadsAtItsSize_data()
    {
        // size: bitmap pixels, or the label a picture fills
        addColumns<QString, QSize>("path", "size");
        const struct {
            const char *tag, *path;
            QSize size;
        } rows[] = {
            {"brand logo", "logo/KORVEN_logo.svg", {108, 18}},
            {"Strata 96 logo", "logo/Strata96_logo.svg", {172, 16}},
            {"Strata 10 logo", "logo/Strata10_logo.svg", {122, 16}},
            {"Strata 14 logo", "logo/Strata14_logo.svg", {122, 16}},
            {"Strata 20 logo", "logo/Strata20_logo.svg", {132, 16}},
            {"information page", "info_bg.svg", {1110, 650}}, {"meter page", "meter_bg.svg", {1110, 650}},
            {"meter bar", "meterbar.svg", {18, 340}}, {"slider background", "slider_bg.svg", {356, 33}},
            {"style sheet tile", "trans.png", {16, 16}}, {"Strata 96 photo", "strata96.png", {441, 306}},
            {"Strata 10 photo", "strata10.png", {552, 486}}, {"Strata 14 photo", "strata14.png", {552, 486}},
            {"Strata 20 photo", "strata20.png", {552, 486}}, {"icon", "icon/icon_128.png", {128, 128}},
            {"icon 48", "icon/icon_48.png", {48, 48}}, {"icon 256", "icon/icon_256.png", {256, 256}},
            {"scalable icon", "icon/icon.svg", {128, 128}},
            {"notice box", "update/info_570x160_strata.png", {570, 160}},
            {"download window", "update/Download_250x100.png", {250, 100}}, {"licence", "LICENSE.txt", {}},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << QString::fromLatin1(r.path) << r.size;
    }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QString full = ":/Resource/" + path;
        QFile file(full);
        QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, qPrintable(full));
        if (path.endsWith(".png")) {
            QCOMPARE(QImage(full).size(), size);
        } else if (path.endsWith(".svg")) {
            QSvgRenderer renderer(full);
            QVERIFY(renderer.isValid());
            const QSizeF box = renderer.viewBoxF().size();
            QVERIFY(qAbs(box.width() * size.height() / (box.height() * size.width()) - 1.0) < 0.01);
        }
    }

    // A model without meters is noticed gone only by the failed information
    // request of the one-second tick; then the same model or another comes.
    void modelWidgetsFollowTheModel_data()
    {
        // model -1: none plugged
        addColumns<bool, int, int, QStringList>("afterStrata20", "model", "page", "widgets");
        const QStringList s20{"label_Strata20_info", "label_Strata20photo"};
        QTest::newRow("no unit") << false << -1 << int(Dead) << QStringList();
        QTest::newRow("Strata 96") << false << int(sim::Model::Strata96) << int(Info) << k96Widgets;
        QTest::newRow("Strata 10") << false << int(sim::Model::Strata10) << int(Info)
                                   << QStringList{"label_Strata10_info", "label_Strata10photo"};
        QTest::newRow("Strata 14") << false << int(sim::Model::Strata14) << int(Info)
                                   << QStringList{"label_Strata14_info", "label_Strata14photo"};
        QTest::newRow("Strata 20") << false << int(sim::Model::Strata20) << int(Info) << s20;
        QTest::newRow("same model after unplug") << true << int(sim::Model::Strata20) << int(Info) << s20;
        QTest::newRow("another model after unplug") << true << int(sim::Model::Strata96) << int(Info) << k96Widgets;
    }
    void modelWidgetsFollowTheModel()
    {
        QFETCH(bool, afterStrata20);
        QFETCH(int, model);
        if (afterStrata20) {
            QVERIFY(plugAndIdentify(sim::Model::Strata20));
            sim::Bus::instance().unplugAll();
            window().timerInterrupt_1000ms();
            QTRY_COMPARE_WITH_TIMEOUT(text(window(), "label_Device"), QStringLiteral("No Device"), kTimeoutMs);
            QVERIFY(servicePresence(false));
            window().timerInterrupt_100ms();
            QCOMPARE(page(window()), int(Dead));
        }
        if (model < 0) {
            QCOMPARE(page(window()), int(Dead));
            QCOMPARE(text(window(), "label_DeadBg"), QStringLiteral("Device is not connected"));
            for (const char *name : kModelWidgets)   // as if a model had been shown before
                widget(window(), name)->show();
            window().timerInterrupt_100ms();
            window().timerInterrupt_1000ms();
        } else {
            QVERIFY(plugAndIdentify(sim::Model(model)));
        }
        QTEST(page(window()), "page");
        QTEST(shownModelWidgets(), "widgets");
    }

    // Failing exchanges blank the unit's name while the unit stays present:
    // the bars must not freeze at the last levels meanwhile, and must come
    // back soon after the unit answers again. Pulled out on the meter page,
    // the unit is dropped by the failed meter reading and shown again when back.
    void metersThroughAnOutageAndAPullOut()
    {
        QVERIFY(plugAndIdentify(sim::Model::Strata96));
        auto unit = std::dynamic_pointer_cast<sim::SimUnit>(sim::Bus::instance().devices().front());
        QTRY_VERIFY_WITH_TIMEOUT(barHeight() > 0, kTimeoutMs);
        unit->stallNext(1 << 30);
        QTRY_COMPARE_WITH_TIMEOUT(text(window(), "label_Device"), QStringLiteral("No Device"), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(barHeight(), 0, kTimeoutMs);
        unit->stallNext(0);
        QTRY_VERIFY_WITH_TIMEOUT(barHeight() > 0, kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(text(window(), "label_Device"), QStringLiteral("Strata 96"), kTimeoutMs);

        widget<QPushButton>(window(), "pushButton_Meter")->click();
        QCOMPARE(page(window()), int(Meter));
        sim::Bus::instance().unplugAll();
        QTRY_COMPARE_WITH_TIMEOUT(page(window()), int(Dead), kTimeoutMs);
        sim::plugSimUnit(sim::Model::Strata96);
        QTRY_COMPARE_WITH_TIMEOUT(page(window()), int(Info), kTimeoutMs);
    }

    // Main L/R show the master out whatever the source.
    void meterStripsFollowTheSource_data()
    {
        addColumns<int, int>("source", "channel1Record");
        QTest::newRow("MTR SOURCE") << 0 << 68;
        QTest::newRow("MIC / LINE") << 1 << 0;
        QTest::newRow("USB RETURN") << 2 << 46;
        QTest::newRow("MTR RETURN") << 3 << 22;
        QTest::newRow("unknown source") << 6 << 0;
    }
    void meterStripsFollowTheSource()
    {
        QFETCH(int, source);
        QFETCH(int, channel1Record);
        DataManager::setMeterSource(static_cast<uint8_t>(source));
        QVERIFY(plugAndIdentify(sim::Model::Strata96));
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakText1"), readoutOf(channel1Record), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakText22"), readoutOf(channel1Record + 21), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakTextL"), readoutOf(94), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakTextR"), readoutOf(95), kTimeoutMs);
    }

private:
    // Plugs a unit with distinct meters and ticks until the window shows its
    // name and widgets.
    bool plugAndIdentify(sim::Model model)
    {
        std::vector<sim::MeterPoint> points;
        static const int kGroups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};   // kind, channels
        for (const auto &group : kGroups) {
            for (int ch = 1; ch <= group[1]; ++ch) {
                const double db = -1.0 - 0.5 * double(points.size());
                const auto level = static_cast<uint16_t>(std::lround(32767 * std::pow(10, db / 20)));
                points.push_back({uint8_t(group[0]), uint8_t(ch), level});
            }
        }
        sim::plugSimUnit(model)->setFixedMeters(points);
        if (!servicePresence(true))
            return false;
        window().timerInterrupt_100ms();
        window().timerInterrupt_1000ms();
        const QString name = QString::fromLatin1(sim::modelName(model));
        if (!QTest::qWaitFor([&] { return text(window(), "label_Device") == name; }, kTimeoutMs))
            return false;
        if (!servicePresence(true))
            return false;
        window().timerInterrupt_1000ms();
        return true;
    }
    QString readout(const char *name) { return widget<QPushButton>(window(), name)->text(); }
    int barHeight() { return widget(window(), "label_meter1")->height(); }
    QStringList shownModelWidgets()
    {
        QStringList names;
        for (const char *name : kModelWidgets) {
            if (shown(window(), name))
                names.append(QLatin1String(name));
        }
        return names;
    }

    // Made at first use: most rows of the tables need no window.
    MainWindow &window()
    {
        if (!m_window)
            m_window = std::make_unique<MainWindow>();
        return *m_window;
    }

    std::unique_ptr<MainWindow> m_window;
    QList<QUrl> m_opened;
};

QTEST_MAIN(WindowContentsTest)
#include "test_windowcontents.moc"
