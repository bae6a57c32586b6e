// Every page follows the window's size: rectangles by the design rule or its
// stated exceptions, font sizes, pictures, the slider's look, the bars.
#include <QtTest>

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>

#include <cmath>
#include <memory>

#include "panelwindow.h"
#include "ui/scalerule.h"

using namespace panelwindow;

namespace {

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

void addSizes()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("minimum") << 1120 << 680;
    QTest::newRow("1600x980") << 1600 << 980;
    QTest::newRow("wide 2400x700") << 2400 << 700;
}

} // namespace

class WindowScalingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { m_window.reset(); }

    void standardRectanglesAndFonts_data() { addSizes(); }
    void standardRectanglesAndFonts()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        resizeContent(*m_window, w, h);
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
            const QWidget *wdg = widget(*m_window, r.name);
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
        QCOMPARE(widget(*m_window, "label_textSWVer")->font().weight(), int(QFont::Normal));
        QCOMPARE(widget(*m_window, "label_DeadBg")->geometry(), QRect(0, 0, w, h));
        QCOMPARE(widget(*m_window, "label_DeadBg")->font().pixelSize(), tz(24 * f.s));
        QCOMPARE(widget(*m_window, "scrollArea")->size(), QSize(tz(f.sx * 1110), tz(f.sy * 650)));
    }

    void exceptionsToTheRule_data() { addSizes(); }
    void exceptionsToTheRule()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        resizeContent(*m_window, w, h);
        const Factors f = factors(w, h);
        const auto geometry = [&](const char *name) { return widget(*m_window, name)->geometry(); };
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

        // Pictures: the bar at its own size, the meter background uniformly
        // scaled, the information background stretched to its label.
        const qreal ratio = m_window->devicePixelRatioF();
        const auto pictureSize = [&](const char *name) {
            return widget<QLabel>(*m_window, name)->pixmap(Qt::ReturnByValue).size() / ratio;
        };
        QCOMPARE(pictureSize("label_meter7"), QSize(tz(18 * f.sx), tz(340 * f.sy)));
        QCOMPARE(pictureSize("label_meter_mainR"), QSize(tz(18 * f.sx), tz(340 * f.sy)));
        QCOMPARE(pictureSize("label_bg"), QSize(tz(1110 * f.s), tz(650 * f.s)));
        QCOMPARE(pictureSize("label_infobg"), geometry("label_infobg").size());
        QCOMPARE(pictureSize("label_Strata10_info"), geometry("label_Strata10_info").size());
        const QImage logo = widget<QLabel>(*m_window, "label_KORVEN_info")->pixmap(Qt::ReturnByValue).toImage();
        int drawn = 0;
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                drawn += qAlpha(logo.pixel(x, y)) > 0;
        QVERIFY2(drawn > 0, "the brand logo was not drawn");
    }

    // At the minimum sx is the smaller factor; a wide window moves the photo
    // right; a tall one moves page 0's logos down but not page 1's.
    void edgeCasesOfTheFactors()
    {
        // The window's own minimum, menu bar and all, leaves the content the
        // design's minimum of 1120 x 680: s = sx and no excess across.
        QResizeEvent smallest(m_window->minimumSize(), m_window->size());
        QCoreApplication::sendEvent(m_window.get(), &smallest);
        const Factors least = factors(1120, 680);
        QCOMPARE(widget(*m_window, "scrollArea")->size(), QSize(tz(least.sx * 1110), tz(least.sy * 650)));
        QCOMPARE(widget(*m_window, "label_Strata96photo")->x(), tz(99 * (1120.0f / 1110.0f)));
        const Factors tall = factors(1120, 1300);
        resizeContent(*m_window, 1120, 1300);
        QVERIFY(tall.ey > 0.9f);
        QCOMPARE(widget(*m_window, "label_KORVEN_info")->y(), tz(13 * tall.sy + 9 * tall.ey));
        QCOMPARE(widget(*m_window, "label_Strata96_info")->y(), tz(13 * tall.sy + 8 * tall.ey));
        QCOMPARE(widget(*m_window, "label_KORVEN_meter")->y(), tz(13 * tall.sy));
        const Factors wide = factors(2600, 650);
        resizeContent(*m_window, 2600, 650);
        QCOMPARE(widget(*m_window, "label_Strata96photo")->geometry(),
                 QRect(tz(99 * wide.sx + 220 * (wide.sx - 1.0f)), 114, 441, 306));
    }

    void sliderStyleFollowsTheScale_data()
    {
        QTest::addColumn<float>("s");
        QTest::addColumn<QString>("handle");
        QTest::newRow("1") << 1.0f << "border: 1px solid #2A2A2A; height: 14px; width: 14px; margin: -7px 0px; border-radius: 7px;}";
        QTest::newRow("1.25") << 1.25f
                              << "border: 1.25px solid #2A2A2A; height: 17.5px; width: 17.5px; margin: -8.75px 0px; border-radius: 8.75px;}";
        QTest::newRow("1120/1110") << 1120.0f / 1110.0f
                                   << "border: 1.00901px solid #2A2A2A; height: 14.1261px; width: 14.1261px; margin: -7.06306px 0px; border-radius: 7.06306px;}";
    }
    void sliderStyleFollowsTheScale()
    {
        QFETCH(float, s);
        QFETCH(QString, handle);
        const QString style = panel::bufferSliderStyle(s);
        QVERIFY2(style.endsWith(QStringLiteral("QSlider::handle:horizontal{ background: #22A1FF; ") + handle), qPrintable(style));
        QVERIFY(style.startsWith(QStringLiteral("QSlider{ background-image: url(:/Resource/trans.png); }")));
    }

    // A resize must not leave the bars where the old scale put them.
    void barsFollowEveryResize()
    {
        resizeContent(*m_window, 1120, 680);
        resizeContent(*m_window, 2400, 700);
        MainWindow fresh;
        resizeContent(fresh, 2400, 700);
        for (const char *name : {"label_meter1", "label_meter22", "label_meter_mainL", "label_peak5", "label_PeakInd9"})
            QCOMPARE(widget(*m_window, name)->geometry(), widget(fresh, name)->geometry());
    }

    // The window is placed by its content geometry from the screen's
    // origin; a screen narrower than the design gives a negative x.
    void defaultSizeCentresOnThePrimaryScreen()
    {
        m_window->show();
        widget<QAction>(*m_window, "actionDefaultSize")->trigger();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(m_window->geometry().x(), (available.width() - 1110) / 2);
        if (available.width() < 1110)
            QVERIFY(m_window->geometry().x() < 0);
        QVERIFY(m_window->width() >= 1120 && m_window->height() >= 680);
        widget<QAction>(*m_window, "actionMinimum")->trigger();
        QVERIFY(m_window->isMinimized());
        widget<QAction>(*m_window, "actionMaximum")->trigger();
        QVERIFY(m_window->isMaximized());
    }

private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(WindowScalingTest)
#include "test_windowscaling.moc"
