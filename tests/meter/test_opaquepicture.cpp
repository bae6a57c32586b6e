// Bars and page background taken over as opaque pictures paint the pixels
// the toolkit paints for them under the window's black style sheet.
#include <QtTest>

#include <QLabel>
#include <QPainter>

#include "meter/opaquepicture.h"

class OpaquePictureTest : public QObject
{
    Q_OBJECT

private slots:
    void paintsWhatTheToolkitPaints_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("bar on its baseline") << int(Qt::AlignBottom | Qt::AlignLeft) << false << false << true;
        QTest::newRow("right to left") << int(Qt::AlignTop | Qt::AlignLeft) << true << false << true;
        QTest::newRow("stretched background") << int(Qt::AlignCenter) << false << true << true;
        QTest::newRow("disabled") << int(Qt::AlignBottom | Qt::AlignLeft) << false << false << false;
    }
    void paintsWhatTheToolkitPaints()
    {
        QFETCH(int, alignment);
        QFETCH(bool, rightToLeft);
        QFETCH(bool, scaled);
        QFETCH(bool, enabled);
        QPixmap picture(14, 30);   // stripes with see-through gaps, smaller than the labels
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(2, 0, 9, 30, QBrush(Qt::green, Qt::Dense4Pattern));
        QWidget window;
        window.setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));
        window.resize(60, 50);
        QLabel plain(&window), taken(&window);
        for (QLabel *label : {&plain, &taken}) {
            label->setPixmap(picture);
            label->setAlignment(Qt::Alignment(alignment));
            label->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            label->setScaledContents(scaled);
            label->setEnabled(enabled);
        }
        plain.setGeometry(2, 3, 19, 41);
        taken.setGeometry(32, 3, 19, 41);
        window.show();
        OpaquePicture::take(&taken);
        QCOMPARE(window.grab(taken.geometry()).toImage(), window.grab(plain.geometry()).toImage());
    }
};

QTEST_MAIN(OpaquePictureTest)
#include "test_opaquepicture.moc"
