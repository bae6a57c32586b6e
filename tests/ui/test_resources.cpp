// The compiled-in resources: every path the panel loads must be there, load,
// and fit the place the window gives it (aspect ratio, pixel size, colours
// that must agree with the widgets drawn over them).

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QTest>
#include <QTextCodec>

#include <cmath>

namespace {

QImage render(const QString &path, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, width, height));
    return image;
}

bool hasVisiblePixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

int countPixels(const QImage &image, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

} // namespace

// Vector pictures are rendered at run time into labels of a fixed design
// size, stretched to fill; a drawing of other proportions would be distorted.
class VectorPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void loadsAtLabelProportions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("brand logo") << "logo/KORVEN_logo.svg" << 108 << 18;
        QTest::newRow("Strata 96 logo") << "logo/Strata96_logo.svg" << 172 << 16;
        QTest::newRow("Strata 10 logo") << "logo/Strata10_logo.svg" << 122 << 16;
        QTest::newRow("Strata 14 logo") << "logo/Strata14_logo.svg" << 122 << 16;
        QTest::newRow("Strata 20 logo") << "logo/Strata20_logo.svg" << 132 << 16;
        QTest::newRow("information page") << "info_bg.svg" << 1110 << 650;
        QTest::newRow("meter page") << "meter_bg.svg" << 1110 << 650;
        QTest::newRow("meter bar") << "meterbar.svg" << 18 << 340;
        QTest::newRow("slider background") << "slider_bg.svg" << 356 << 33;
    }

    void loadsAtLabelProportions()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);

        // The form uses ":/Resource/..."; the scaling code "://Resource/...".
        for (const QString &prefix : {QStringLiteral(":/Resource/"), QStringLiteral("://Resource/")}) {
            QVERIFY2(QFile::exists(prefix + path), qPrintable(prefix + path));
            QSvgRenderer renderer(prefix + path);
            QVERIFY2(renderer.isValid(), qPrintable(prefix + path));
            const QRectF box = renderer.viewBoxF();
            const double aspect = box.width() / box.height();
            const double wanted = double(width) / height;
            QVERIFY2(std::fabs(aspect / wanted - 1.0) < 0.01,
                     qPrintable(QStringLiteral("%1: %2 wanted %3").arg(path).arg(aspect).arg(wanted)));
        }
        QVERIFY(hasVisiblePixel(render(":/Resource/" + path, width, height)));
    }
};

// Bitmaps are loaded by name into QPixmap and shown at their own size or
// scaled to a label of that size.
class BitmapTest : public QObject
{
    Q_OBJECT

private slots:
    void loadsAtItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("opaque");
        QTest::newRow("Strata 96 photo") << ":/Resource/strata96.png" << QSize(441, 306) << false;
        QTest::newRow("Strata 10 photo") << ":/Resource/strata10.png" << QSize(552, 486) << false;
        QTest::newRow("Strata 14 photo") << ":/Resource/strata14.png" << QSize(552, 486) << false;
        QTest::newRow("Strata 20 photo") << ":/Resource/strata20.png" << QSize(552, 486) << false;
        QTest::newRow("icon") << ":/Resource/icon/icon_128.png" << QSize(128, 128) << false;
        // Window backgrounds: anything see-through would show whatever lies below.
        QTest::newRow("notice box") << ":/Resource/update/info_570x160_strata.png" << QSize(570, 160) << true;
        QTest::newRow("download window") << ":/Resource/update/Download_250x100.png" << QSize(250, 100) << true;
    }

    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(bool, opaque);

        const QPixmap pixmap(path);
        QVERIFY2(!pixmap.isNull(), qPrintable(path));
        QCOMPARE(pixmap.size(), size);
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(hasVisiblePixel(image));
        if (opaque)
            QCOMPARE(countPixels(image, [](QRgb p) { return qAlpha(p) < 255; }), 0);
    }

    void photosAreDistinct()
    {
        // A copy-pasted source would show the wrong model without any error.
        const QImage a = QImage(":/Resource/strata10.png");
        const QImage b = QImage(":/Resource/strata14.png");
        const QImage c = QImage(":/Resource/strata20.png");
        QVERIFY(a != b);
        QVERIFY(b != c);
        QVERIFY(a != c);
    }

    void styleSheetTileIsClear()
    {
        // Every style sheet of the panel uses this tile as background image.
        const QImage tile(":/Resource/trans.png");
        QVERIFY(!tile.isNull());
        QVERIFY(tile.hasAlphaChannel());
        QCOMPARE(countPixels(tile.convertToFormat(QImage::Format_ARGB32),
                             [](QRgb p) { return qAlpha(p) != 0; }), 0);
    }
};

// The meter pictures sit under widgets with colours of their own: they must
// agree with them.
class MeterArtworkTest : public QObject
{
    Q_OBJECT

    enum Zone { Green, Yellow, Red, Other };

    static Zone zoneOf(QRgb p)
    {
        const int r = qRed(p), g = qGreen(p), b = qBlue(p);
        if (g > 150 && r < 140 && b < 140)
            return Green;
        if (r > 150 && g > 150 && b < 140)
            return Yellow;
        if (r > 150 && g < 140 && b < 140)
            return Red;
        return Other;
    }

private slots:
    void barColoursFollowPeakZones_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("design size") << 340;
        QTest::newRow("minimum window") << int(340 * (680.0f / 650.0f));
        QTest::newRow("double size") << 680;
    }

    void barColoursFollowPeakZones()
    {
        // Peak markers are green up to 181 dots, yellow up to 309, red above:
        // a lit bar must show the same colour as its marker at every height.
        QFETCH(int, height);
        const QImage bar = render(":/Resource/meterbar.svg", 18, height);
        const double perDot = height / 340.0;
        int checked[3] = {0, 0, 0};
        for (int dots = 1; dots <= 340; ++dots) {
            const bool nearEdge = std::abs(dots - 182) <= 2 || std::abs(dots - 310) <= 2;
            if (nearEdge)
                continue;
            const int row = height - int(std::ceil(dots * perDot));
            // Off the centre line, which carries a pale highlight.
            const QRgb p = bar.pixel(5, qBound(0, row, height - 1));
            const Zone zone = zoneOf(p);
            if (zone == Other)
                continue;   // a dark segment gap
            const Zone wanted = dots < 182 ? Green : (dots < 310 ? Yellow : Red);
            QVERIFY2(zone == wanted, qPrintable(QStringLiteral("%1 dots: %2").arg(dots).arg(QColor(p).name())));
            ++checked[zone];
        }
        // Most rows of every zone are lit, not just a few.
        QVERIFY(checked[Green] > 181 / 2);
        QVERIFY(checked[Yellow] > 128 / 2);
        QVERIFY(checked[Red] > 31 / 2);
    }

    void tracksMatchBarMasks()
    {
        // The form's bar masks (#1D1D1D) bridge the stereo pairs; the track
        // behind every strip must have the same colour or the pairs show seams.
        static const int strips[] = {50, 84, 118, 152, 186, 220, 254, 288, 391, 425, 459, 493,
                                     527, 561, 595, 629, 732, 766, 800, 834, 868, 902, 1006, 1039};
        const QImage page = render(":/Resource/meter_bg.svg", 1110, 650);
        for (int x : strips) {
            for (int y : {206, 300, 450, 545}) {
                for (int dx : {0, 9, 17}) {
                    const QRgb p = page.pixel(x + dx, y);
                    QVERIFY2(QColor(p) == QColor(0x1D, 0x1D, 0x1D),
                             qPrintable(QStringLiteral("strip at %1, y %2: %3").arg(x).arg(y).arg(QColor(p).name())));
                }
            }
        }
    }

    void pageAroundCaptionsIsBlack()
    {
        // "PEAK HOLD" and "METER SELECT" sit on black label backgrounds.
        const QImage page = render(":/Resource/meter_bg.svg", 1110, 650);
        for (const QRect &caption : {QRect(120, 55, 88, 19), QRect(855, 55, 106, 19)})
            for (int y = caption.top(); y <= caption.bottom(); ++y)
                for (int x = caption.left(); x <= caption.right(); ++x)
                    QCOMPARE(QColor(page.pixel(x, y)), QColor(Qt::black));
    }
};

class LicenceTextTest : public QObject
{
    Q_OBJECT

private slots:
    void readsAsUtf8WithNotices()
    {
        QFile file(":/Resource/LICENSE.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QTextCodec::ConverterState state;
        const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        QCOMPARE(state.invalidChars, 0);
        QVERIFY(text.startsWith("KORVEN StrataMixer Settings Panel\n"));
        QVERIFY(text.contains("Copyright (c) 2026 KORVEN. All rights reserved."));
        // The dynamically linked libraries oblige us to name their licences.
        QVERIFY(text.contains("Qt") && text.contains("LGPLv3"));
        QVERIFY(text.contains("libusb") && text.contains("LGPLv2.1"));
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);

    int status = 0;
    {
        VectorPictureTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        BitmapTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        MeterArtworkTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        LicenceTextTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "test_resources.moc"
