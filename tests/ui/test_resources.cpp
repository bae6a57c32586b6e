// Every compiled-in path the panel loads must be there and load at the size
// the window gives it; a vector picture of other proportions is distorted
// when a label stretches it.
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTest>

class ResourceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void loadsAtItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");   // bitmap pixels, or the label a picture fills
        QTest::newRow("brand logo") << "logo/KORVEN_logo.svg" << QSize(108, 18);
        QTest::newRow("Strata 96 logo") << "logo/Strata96_logo.svg" << QSize(172, 16);
        QTest::newRow("Strata 10 logo") << "logo/Strata10_logo.svg" << QSize(122, 16);
        QTest::newRow("Strata 14 logo") << "logo/Strata14_logo.svg" << QSize(122, 16);
        QTest::newRow("Strata 20 logo") << "logo/Strata20_logo.svg" << QSize(132, 16);
        QTest::newRow("information page") << "info_bg.svg" << QSize(1110, 650);
        QTest::newRow("meter page") << "meter_bg.svg" << QSize(1110, 650);
        QTest::newRow("meter bar") << "meterbar.svg" << QSize(18, 340);
        QTest::newRow("slider background") << "slider_bg.svg" << QSize(356, 33);
        QTest::newRow("style sheet tile") << "trans.png" << QSize(16, 16);
        QTest::newRow("Strata 96 photo") << "strata96.png" << QSize(441, 306);
        QTest::newRow("Strata 10 photo") << "strata10.png" << QSize(552, 486);
        QTest::newRow("Strata 14 photo") << "strata14.png" << QSize(552, 486);
        QTest::newRow("Strata 20 photo") << "strata20.png" << QSize(552, 486);
        QTest::newRow("icon") << "icon/icon_128.png" << QSize(128, 128);
        QTest::newRow("icon 48") << "icon/icon_48.png" << QSize(48, 48);
        QTest::newRow("icon 256") << "icon/icon_256.png" << QSize(256, 256);
        QTest::newRow("scalable icon") << "icon/icon.svg" << QSize(128, 128);
        QTest::newRow("notice box") << "update/info_570x160_strata.png" << QSize(570, 160);
        QTest::newRow("download window") << "update/Download_250x100.png" << QSize(250, 100);
        QTest::newRow("licence") << "LICENSE.txt" << QSize();
    }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        // The form names ":/Resource/..."; the scaling code "://Resource/...".
        for (const QString &full : {":/Resource/" + path, "://Resource/" + path}) {
            QFile file(full);
            QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, qPrintable(full));
            if (path.endsWith(".png")) {
                QCOMPARE(QImage(full).size(), size);
            } else if (path.endsWith(".svg")) {
                QSvgRenderer renderer(full);
                QVERIFY2(renderer.isValid(), qPrintable(full));
                const QSizeF box = renderer.viewBoxF().size();
                QVERIFY2(qAbs(box.width() * size.height() / (box.height() * size.width()) - 1.0) < 0.01,
                         qPrintable(full));
            }
        }
    }
};

QTEST_MAIN(ResourceTest)
#include "test_resources.moc"
