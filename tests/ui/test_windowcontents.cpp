// What the window shows as its size changes and the unit comes and goes; the
// meter page's buttons, stored choices, indicators and keyboard access.
#include <QtTest>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cmath>
#include <memory>

#include "meter/meterstyles.h"
#include "panelwindow.h"
#include "service/settingsstore.h"
#include "strata_config.h"
#include "test_table.h"
#include "ui/aboutdialog.h"
#include "ui/focusmark.h"
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

// Each meter stands 0.5 dB below the one before: a readout names its record.
QString readoutOf(int record)
{
    return QString::number(-1.0 - 0.5 * record, 'f', 1);
}

bool servicePresence(bool present)
{
    return QTest::qWaitFor([present] { return dm.queryExistDevice() == present; }, kTimeoutMs);
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

const QString kSourceOn = QString::fromLatin1(meter::kSourceSelectedStyle);
const QString kSourceOff = QString::fromLatin1(meter::kSourceUnselectedStyle);
const QString kHoldOn = QString::fromLatin1(meter::kPeakHoldSelectedStyle);
const QString kHoldOff = QString::fromLatin1(meter::kPeakHoldUnselectedStyle);
const QString kRed("QLabel{background-color: #CB2700; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
const QString kGrey("QLabel{background-color: #CECECE; border-radius:1px;  border-color:#000000; border-width:1px; color:#0D0D0D;}");
const QString kBlack("QLabel{background-color: #000000; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
const char *const kSources[] = {"pushButton_MTRSource", "pushButton_Analog", "pushButton_USB", "pushButton_MTR"};
const char *const kHolds[] = {"pushButton_PeakHoldOff", "pushButton_PeakHold1s", "pushButton_PeakHold3s",
                              "pushButton_PeakHoldInf"};

QString strip(const char *prefix, int k)
{
    return QLatin1String(prefix) + (k < 22 ? QString::number(k + 1) : QString(k == 22 ? "L" : "R"));
}

QStringList meterPageOrder()
{
    QStringList order{"pushButton_Information", "pushButton_PeakHoldOff", "pushButton_PeakHold1s",
                      "pushButton_PeakHold3s", "pushButton_PeakHoldInf", "pushButton_HoldClear", "pushButton_MTRSource",
                      "pushButton_Analog", "pushButton_USB", "pushButton_MTR"};
    for (int k = 0; k < 24; ++k)
        order.append(strip("pushButton_peakText", k));
    return order;
}
const QStringList kMeterPageOrder = meterPageOrder();

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
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
        QTest::newRow("wide 2400x700") << 2400 << 700;
        QTest::newRow("tall 1120x1300") << 1120 << 1300;
    }
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
        const float sx = float(w) / 1110.0f, sy = float(h) / 650.0f;
        const float s = std::min(sx, sy), ex = std::max(sx - sy, 0.0f), ey = std::max(sy - sx, 0.0f);
        const struct {
            const char *name;
            int x, y, w, h, font;
        } rows[] = {
            {"label_btnInfo", 190, 9, 138, 25, 16},       {"label_FWVer", 803, 232, 161, 16, 17},
            {"label_BufferBg", 623, 414, 356, 33, 0},     {"label_bg", 0, 0, 1110, 650, 0},
            {"pushButton_PeakHoldOff", 23, 81, 50, 40, 16}, {"pushButton_PeakHoldInf", 197, 81, 50, 40, 24},
            {"pushButton_MTR", 914, 109, 173, 21, 14},    {"label_recfunc9", 387, 570, 26, 17, 16},
            {"label_recfunc13", 523, 570, 60, 17, 16},    {"label_recfunc22", 901, 570, 26, 17, 16},
            {"label_recfuncL", 1008, 570, 52, 17, 16},    {"pushButton_peakText16", 615, 546, 41, 21, 13},
            {"pushButton_peakText17", 720, 546, 41, 21, 13}, {"pushButton_peakTextR", 1030, 546, 41, 21, 13},
        };
        for (const auto &r : rows) {
            const QWidget *wdg = widget(window(), r.name);
            const QRect rule(tz(r.x * sx), tz(r.y * sy), tz(r.w * sx), tz(r.h * sy));
            // The information rows keep their place and centre, with room for their glyphs.
            if (r.font == 17)
                QVERIFY(wdg->x() == rule.x() && wdg->width() >= rule.width() && wdg->height() >= rule.height()
                        && qAbs(wdg->geometry().center().y() - rule.center().y()) <= 1);
            else
                QCOMPARE(wdg->geometry(), rule);
            if (r.font)
                QCOMPARE(wdg->font().pixelSize(), tz(r.font * s));
        }
        QCOMPARE(widget(window(), "label_DeadBg")->geometry(), QRect(0, 0, w, h));
        QCOMPARE(widget(window(), "label_DeadBg")->font().pixelSize(), tz(24 * s));
        QCOMPARE(widget(window(), "scrollArea")->size(), QSize(tz(sx * 1110), tz(sy * 650)));
        const auto geometry = [&](const char *name) { return widget(window(), name)->geometry(); };
        QCOMPARE(geometry("label_KORVEN_info"), QRect(tz(23 * sx), tz(13 * sy + 9 * ey), tz(108 * s), tz(18 * s)));
        QCOMPARE(geometry("label_Strata96_info"),
                 QRect(tz(w - 23 - 172 * s), tz(13 * sy + 8 * ey), tz(172 * s), tz(16 * s)));
        QCOMPARE(geometry("label_Strata96photo"),
                 QRect(tz(99 * sx + 220 * ex), tz(114 * sy + 153 * ey), nr(441 * s), nr(306 * s)));
        QCOMPARE(geometry("label_Strata20photo"),
                 QRect(tz(35 * sx + 276 * ex), tz(282 * ey), nr(552 * s), nr(486 * s)));
        QCOMPARE(geometry("label_bgPHText"), QRect(tz(120 * sx + 71 * ex), tz(55 * sy), tz(88 * s), tz(19 * sy)));
        QCOMPARE(geometry("label_barMask3"), QRect(tz(750 * sx), nr(205 * sy), tz(16 * sx), tz(342 * sy)));

        // The bar at its own size, the backgrounds stretched to their labels.
        const qreal ratio = window().devicePixelRatioF();
        const auto pictureSize = [&](const char *name) {
            return widget<QLabel>(window(), name)->pixmap(Qt::ReturnByValue).size() / ratio;
        };
        QCOMPARE(pictureSize("label_meter7"), QSize(tz(18 * sx), tz(340 * sy)));
        QCOMPARE(pictureSize("label_bg"), geometry("label_bg").size());
        QCOMPARE(pictureSize("label_infobg"), geometry("label_infobg").size());
        QCOMPARE(pictureSize("label_Strata10_info"), geometry("label_Strata10_info").size());
        const QImage logo = widget<QLabel>(window(), "label_KORVEN_info")->pixmap(Qt::ReturnByValue).toImage();
        QImage blank(logo.size(), logo.format());
        blank.fill(Qt::transparent);
        QVERIFY2(logo != blank, "the brand logo was not drawn");
    }

    // The window's minimum, menu bar and all, leaves the content 1120 x 680.
    void minimumAndWindowMenuSizes()
    {
        QResizeEvent smallest(window().minimumSize(), window().size());
        QCoreApplication::sendEvent(&window(), &smallest);
        QCOMPARE(widget(window(), "scrollArea")->size(), QSize(1120, 680));

        // Centred on the offscreen 800 x 600 screen from its origin.
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

    // A failed exchange reports zeros or an empty text, after earlier values.
    void informationRows_data()
    {
        addColumns<int, int, int, QString, QStringList>("version", "build", "rate", "serial", "shown");
        QTest::newRow("44.1") << 102 << 23 << 44100 << "KS96-004211" << QStringList{"V1.02 0023", "44.1 kHz", "KS96-004211"};
        QTest::newRow("zeros keep the last") << 0 << 0 << 48000 << "" << QStringList{"V1.02 0023", "48 kHz", "-------"};
        QTest::newRow("build never cut") << 1234 << 12345 << 88200 << "" << QStringList{"V12.34 12345", "88.2 kHz", "-------"};
        QTest::newRow("96") << 102 << 23 << 96000 << "" << QStringList{"V1.02 0023", "96 kHz", "-------"};
        QTest::newRow("176.4") << 102 << 23 << 176400 << "" << QStringList{"V1.02 0023", "176.4 kHz", "-------"};
        QTest::newRow("192") << 102 << 23 << 192000 << "" << QStringList{"V1.02 0023", "192 kHz", "-------"};
        QTest::newRow("32 not offered") << 102 << 23 << 32000 << "" << QStringList{"V1.02 0023", "-- kHz", "-------"};
    }
    void informationRows()
    {
        QFETCH(int, version);
        QFETCH(int, build);
        QFETCH(int, rate);
        QFETCH(QString, serial);
        window().slt_RecvFirmVersion(102);
        window().slt_RecvFirmBuld(23);
        window().slt_RecvSampleRate(44100);
        window().slt_RecvSerialNumber(QStringLiteral("KS96-000001"));
        window().slt_RecvFirmVersion(ushort(version));
        window().slt_RecvFirmBuld(ushort(build));
        window().slt_RecvSampleRate(uint(rate));
        window().slt_RecvSerialNumber(serial);
        const QStringList shown{text(window(), "label_FWVer"), text(window(), "label_Samplerate"),
                                text(window(), "label_SerialNumber")};
        QTEST(shown, "shown");
    }

    // The model is read at the click: with no unit the Strata 20 pages open.
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

    void helpBoxes()
    {
        const QByteArray file("page 1\n\f\n\xc2\xa9 2026\f");
        const QString shown = QString::fromUtf8("page 1\n\n\u00a9 2026");
        QTemporaryDir dir;
        QString read;
        QVERIFY(LicenseDialog::readText(writeFile(dir.filePath(QStringLiteral("LICENSE.txt")), file), &read));
        QCOMPARE(read, shown);
        MainWindow &panel = window();
        QVERIFY(modalShows<LicenseDialog>([&] { widget<QAction>(panel, "actionLicense")->trigger(); }, [](auto *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("License Information"));
            QVERIFY(dialog->browser()->toPlainText().startsWith(QStringLiteral("KORVEN StrataMixer Settings Panel")));
        }));
        QVERIFY(modalShows<QMessageBox>(
            [&] { LicenseDialog::run(&panel, QStringLiteral(":/Resource/no-such-licence.txt")); }, [&](auto *box) {
                QCOMPARE(box->parentWidget(), &panel);
                QCOMPARE(box->windowTitle(), QStringLiteral("File Missing!"));
                QCOMPARE(box->text(), QStringLiteral("There is a possibility that the file has been moved or deleted."));
            }));
        QVERIFY(modalShows<AboutDialog>([&] { widget<QAction>(panel, "actionKORVEN_StrataMixer")->trigger(); }, [](auto *about) {
            QCOMPARE(about->windowTitle(), QStringLiteral("KORVEN Strata Mixer"));
            const auto label = [about](const char *name) { return about->template findChild<QLabel *>(QLatin1String(name)); };
            QCOMPARE(label("label_product")->text(), QStringLiteral("USB Audio Interface<p>KORVEN StrataMixer"));
            QCOMPARE(label("label_version")->text(), QStringLiteral("Software Ver. : V2.00 0023"));
            QVERIFY(!label("label_icon")->pixmap(Qt::ReturnByValue).isNull());
        }));
    }

    // A vector picture of other proportions than its label's is distorted.
    void picturesHaveTheirSizes()
    {
        const struct {
            const char *path;
            QSize size;
        } pictures[] = {
            {"logo/KORVEN_logo.svg", {108, 18}}, {"logo/Strata96_logo.svg", {172, 16}},
            {"logo/Strata20_logo.svg", {132, 16}}, {"info_bg.svg", {1110, 650}},
            {"meter_bg.svg", {1110, 650}},        {"meterbar.svg", {18, 340}},
            {"slider_bg.svg", {356, 33}},         {"strata96.png", {441, 306}},
            {"strata20.png", {552, 486}},         {"update/info_570x160_strata.png", {570, 160}},
            {"update/Download_250x100.png", {250, 100}},
        };
        for (const auto &p : pictures) {
            const QString path = QStringLiteral(":/Resource/") + QLatin1String(p.path);
            if (path.endsWith(QLatin1String(".png"))) {
                QCOMPARE(QImage(path).size(), p.size);
                continue;
            }
            QSvgRenderer renderer(path);
            QVERIFY2(renderer.isValid(), qPrintable(path));
            const QSizeF box = renderer.viewBoxF().size();
            QVERIFY2(qAbs(box.width() * p.size.height() / (box.height() * p.size.width()) - 1.0) < 0.01, qPrintable(path));
        }
    }

    // A model without meters is noticed gone only by the one-second tick.
    void modelWidgetsFollowTheModel_data()
    {
        addColumns<bool, int, int, QStringList>("afterStrata20", "model", "page", "widgets");
        const QStringList s20{"label_Strata20_info", "label_Strata20photo"};
        QTest::newRow("no unit") << false << -1 << int(Dead) << QStringList();
        QTest::newRow("Strata 96") << false << int(sim::Model::Strata96) << int(Info) << k96Widgets;
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

    // While failing exchanges blank the name, the bars must not freeze.
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
        QTRY_COMPARE_WITH_TIMEOUT(readout(0), readoutOf(channel1Record), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout(21), readoutOf(channel1Record + 21), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout(22), readoutOf(94), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout(23), readoutOf(95), kTimeoutMs);
    }

    void sourceButtonStoresMarksAndEmptiesChannelBars_data()
    {
        QTest::addColumn<int>("source");
        for (int s = 0; s < 4; ++s)
            QTest::newRow(kSources[s]) << s;
    }
    void sourceButtonStoresMarksAndEmptiesChannelBars()
    {
        QFETCH(int, source);
        click(kSources[(source + 1) % 4]);
        for (const char *name : {"label_meter1", "label_meter22", "label_meter_mainL"})
            child(name)->setGeometry(122, 300, 18, 246);
        click(kSources[source]);
        QCOMPARE(DataManager::getMeterSource(), QString::number(source));
        QCOMPARE(recStyle(0), source == 0 ? kGrey : kBlack);   // at once, before the tick
        // Marked only by colour; a screen reader hears the choice as a pressed toggle.
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(child(kSources[i])->styleSheet(), i == source ? kSourceOn : kSourceOff);
            QVERIFY(a11y(kSources[i]).checkable);
            QCOMPARE(bool(a11y(kSources[i]).checked), i == source);
        }
        QCOMPARE(child("label_meter1")->geometry(), QRect(50, 546, 18, 0));
        QCOMPARE(child("label_meter22")->geometry(), QRect(902, 546, 18, 0));
        QCOMPARE(child("label_meter_mainL")->geometry(), QRect(122, 300, 18, 246));
    }

    void peakHoldButtonStoresAndShowsMarkers_data()
    {
        addColumns<int, QString>("mode", "offStyle");
        QTest::newRow("OFF") << 0 << kHoldOn;
        QTest::newRow("1 SEC") << 1 << QString::fromLatin1(meter::kPeakHoldOffFlatStyle);
        QTest::newRow("3 SEC") << 2 << kHoldOff;
        QTest::newRow("infinite") << 3 << kHoldOff;
    }
    void peakHoldButtonStoresAndShowsMarkers()
    {
        QFETCH(int, mode);
        QFETCH(QString, offStyle);
        click(kHolds[(mode + 2) % 4]);
        // A held peak above the bar, which the click drops.
        child("label_meter5")->setGeometry(186, 446, 18, 100);
        click("pushButton_HoldClear");
        child("label_meter5")->setGeometry(186, 546, 18, 0);
        click(kHolds[mode]);
        QCOMPARE(DataManager::getPeakHold(), QString::number(mode));
        QCOMPARE(child(kHolds[0])->styleSheet(), offStyle);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(child(kHolds[i])->styleSheet(), i == mode ? kHoldOn : kHoldOff);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(bool(a11y(kHolds[i]).checked), i == mode);
        QVERIFY(!a11y("pushButton_HoldClear").checkable);   // chooses nothing
        for (int k = 0; k < 24; ++k)
            QCOMPARE(child(strip("label_peak", k))->isHidden(), mode == 0);
        QCOMPARE(child("label_peak5")->y(), child("label_peak4")->y());
        QCOMPARE(readout(4), " -inf");
    }

    // Values never stored (7, 9) must not index the button lists.
    void storedSettingsComeBackAfterRestart_data()
    {
        addColumns<int, int>("source", "mode");
        QTest::newRow("MTR RETURN, OFF") << 3 << 0;
        QTest::newRow("unknown values") << 7 << 9;
    }
    void storedSettingsComeBackAfterRestart()
    {
        QFETCH(int, source);
        QFETCH(int, mode);
        const QByteArray mine = QStringLiteral("; mine\n[Other]\nfoo=1\n\n[Meter]\nSource=%1\n\n[PeakHold]\nType=%2\n")
                                    .arg(source).arg(mode).toLatin1();
        QFile file(writeFile(SettingsStore::fileName(), mine));
        m_window.reset();   // started again at the next look
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(child(kSources[i])->styleSheet() == kSourceOn, i == source);
            QCOMPARE(child(kHolds[i])->styleSheet() == kHoldOn, i == mode);
        }
        if (mode < 4)
            QCOMPARE(child("label_peakL")->isHidden(), mode == 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), mine);
    }

    // A file in place of the settings folder: said once, in the log and the status line.
    void unsavedChoiceIsSaidOnce()
    {
        window();
        const QString path = SettingsStore::fileName();
        const QString folder = QFileInfo(path).path();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        DebugCapture debug;
        click(kSources[2]);
        click(kHolds[3]);
        QVERIFY(blocker.remove());
        const QString said = "Settings cannot be saved to " + path;
        QCOMPARE(debug.lines().filter(QStringLiteral("cannot be saved")), QStringList{said});
        QCOMPARE(window().statusBar()->currentMessage(), said);
    }

    // Each bar stands at a height of its own, so a readout clears its own strip only.
    void readoutClickClearsItsStrip()
    {
        for (int k = 0; k < 24; ++k)
            child(strip(k < 22 ? "label_meter" : "label_meter_main", k))->setGeometry(0, 446 - k, 18, 100 + k);
        for (int k = 0; k < 24; ++k) {
            click(strip("pushButton_peakText", k));
            QCOMPARE(child(strip("label_peak", k))->y(), 446 - k);
        }
        QCOMPARE(readout(0), "-34.5");
    }

    // A reply overwrites as many states as it brings; 22 is the main bus.
    void stateOverTwoTicks_data()
    {
        addColumns<QByteArray, int, QString, QString, int>("reply", "index", "firstTick", "secondTick", "source");
        const auto reply = [](int index, char state) {
            QByteArray states(23, '\0');
            states[index] = state;
            return states;
        };
        QTest::newRow("lit, channel 1") << reply(0, 1) << 0 << kRed << kRed << 0;
        // The blink phase starts clear, so a blinking label starts grey.
        QTest::newRow("blinking") << reply(6, 2) << 6 << kGrey << kRed << 0;
        QTest::newRow("unknown state 255") << reply(4, char(255)) << 4 << kGrey << kGrey << 0;
        QTest::newRow("main blinking") << reply(22, 2) << 22 << kGrey << kRed << 0;
        QTest::newRow("5 bytes") << QByteArray(5, '\0') << 4 << kGrey << kGrey << 0;
        QTest::newRow("5 bytes, the sixth stays") << QByteArray(5, '\0') << 5 << kRed << kRed << 0;
        QTest::newRow("97 bytes") << QByteArray(97, '\0') << 22 << kGrey << kGrey << 0;
        QTest::newRow("98 bytes: ignored") << QByteArray(98, '\0') << 0 << kRed << kRed << 0;
        QTest::newRow("empty: ignored") << QByteArray() << 21 << kRed << kRed << 0;
        QTest::newRow("other source: channel black") << QByteArray() << 21 << kBlack << kBlack << 3;
        QTest::newRow("other source: main as it is") << QByteArray() << 22 << kRed << kRed << 3;
    }
    void stateOverTwoTicks()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, index);
        QFETCH(QString, firstTick);
        QFETCH(QString, secondTick);
        QFETCH(int, source);
        DataManager::setMeterSource(uint8_t(source));
        window().slt_RecvRecFunction(QByteArray(23, '\1'));
        window().slt_RecvRecFunction(reply);
        for (const QString &expected : {firstTick, secondTick, firstTick}) {
            window().timerInterrupt_500ms();
            QCOMPARE(recStyle(index), expected);
            if (index == 22)
                QCOMPARE(recStyle(23), expected);
        }
    }

    // Tab goes round the page once in reading order; the ring is the keyboard's only.
    void keyboardWalksThePageWithAFocusRing()
    {
        widget<QStackedWidget>(window(), "stackedWidget")->setCurrentIndex(Meter);
        if (!activate())
            QSKIP("the platform does not activate the window, so there is no keyboard focus");
        QStringList visited;
        for (int i = 0; i < 2 * kMeterPageOrder.size(); ++i) {
            pressKey(Qt::Key_Tab);
            const QString name = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            if (visited.contains(name))
                break;
            visited.append(name);
        }
        // Activation may already have given the focus to the first button.
        const int start = visited.indexOf(kMeterPageOrder.first());
        QVERIFY2(start >= 0, qPrintable(visited.join(' ')));
        QCOMPARE(visited.mid(start) + visited.mid(0, start), kMeterPageOrder);

        for (QPushButton *b : widget(window(), "STRATAMeter")->findChildren<QPushButton *>())
            QVERIFY2(b->isHidden() || kMeterPageOrder.contains(b->objectName()), qPrintable(b->objectName()));
        for (const QString &name : kMeterPageOrder)
            QVERIFY2(!accessibleName(widget(window(), qPrintable(name))).isEmpty(), qPrintable(name));

        focusByTab("pushButton_USB");
        pressKey(Qt::Key_Space);   // operates the button and keeps the ring
        QCOMPARE(DataManager::getMeterSource(), QStringLiteral("2"));
        auto *mark = window().findChild<FocusMark *>();
        QVERIFY(mark);
        QCOMPARE(mark->markedButton(), widget<QAbstractButton>(window(), "pushButton_USB"));
        QVERIFY(mark->geometry().contains(widget(window(), "pushButton_USB")->geometry()));
        // A menu closed with Escape hands the focus, and the ring, back.
        auto *menu = widget<QMenu>(window(), "menuWindow");
        window().menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_COMPARE(window().focusWidget(), widget(window(), "pushButton_USB"));   // not the menu bar
        QVERIFY(activate());   // where no window manager does it
        QTRY_COMPARE(mark->markedButton(), widget<QAbstractButton>(window(), "pushButton_USB"));
        // Around a readout the ring clears the widest reading.
        auto *readout = widget<QPushButton>(window(), "pushButton_peakText5");
        focusByTab("pushButton_peakText5");
        QVERIFY(mark->width() >= readout->fontMetrics().horizontalAdvance(QStringLiteral("-10.9")) + 6);
        readout->repaint();   // focused, it is painted whole, past the text's rows
        // The ring goes with the page of its button.
        focusByTab("pushButton_Information");
        QTRY_COMPARE(mark->markedButton(), widget<QAbstractButton>(window(), "pushButton_Information"));
        pressKey(Qt::Key_Space);
        QCOMPARE(page(window()), int(Info));
        QVERIFY(mark->isHidden());
        widget<QStackedWidget>(window(), "stackedWidget")->setCurrentIndex(Meter);
        QTest::mouseClick(widget(window(), "pushButton_MTR"), Qt::LeftButton);
        QCOMPARE(mark->markedButton(), nullptr);
        QCOMPARE(DataManager::getMeterSource(), QStringLiteral("3"));
        QVERIFY(activate());
        QTest::keyClick(&window(), Qt::Key_Q, Qt::ControlModifier);   // Ctrl+Q closes the window
        QVERIFY(!window().isVisible());
    }

    // A choice by what it does; a readout with its strip and the level it shows now.
    void buttonNames_data()
    {
        addColumns<QString, QString, QString>("button", "text", "name");
        QTest::newRow("USB RETURN") << "pushButton_USB" << "USB RETURN" << "Meter source: USB RETURN";
        QTest::newRow("channel") << "pushButton_peakText5" << "-4.5" << "Channel 5 peak, -4.5 dB";
        QTest::newRow("below range") << "pushButton_peakText22" << " -inf" << "Channel 22 peak, no signal";
        QTest::newRow("main L") << "pushButton_peakTextL" << "0.0" << "Main L peak, 0.0 dB";
        QTest::newRow("main R") << "pushButton_peakTextR" << "-12.0" << "Main R peak, -12.0 dB";
    }
    void buttonNames()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        auto *b = widget<QPushButton>(window(), qPrintable(button));
        b->setText(text);
        QTEST(accessibleName(b), "name");
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(b);
        QCOMPARE(iface->role(), QAccessible::Button);
        QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }

private:
    // Plugs a unit with distinct meters and ticks until the window shows it.
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
    int barHeight() { return child("label_meter1")->height(); }
    QStringList shownModelWidgets()
    {
        QStringList names;
        for (const char *name : kModelWidgets) {
            if (!widget(window(), name)->isHidden())
                names.append(QLatin1String(name));
        }
        return names;
    }

    QWidget *child(const QString &name) { return widget(window(), qPrintable(name)); }
    QAccessible::State a11y(const QString &name) { return QAccessible::queryAccessibleInterface(child(name))->state(); }
    void click(const QString &name) { static_cast<QPushButton *>(child(name))->click(); }
    QString recStyle(int k) { return child(strip("label_recfunc", k))->styleSheet(); }
    QString readout(int k) { return static_cast<QPushButton *>(child(strip("pushButton_peakText", k)))->text(); }

    bool activate()
    {
        window().show();
        QApplication::setActiveWindow(&window());
        return QTest::qWaitForWindowActive(&window());
    }
    void pressKey(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &window(), key);
    }
    void focusByTab(const QString &name)
    {
        for (int i = 0; i <= kMeterPageOrder.size(); ++i) {
            if (QApplication::focusWidget() && QApplication::focusWidget()->objectName() == name)
                return;
            pressKey(Qt::Key_Tab);
        }
        QFAIL(qPrintable(name + QStringLiteral(" is not reached with Tab")));
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
