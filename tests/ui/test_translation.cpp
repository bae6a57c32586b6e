// The window speaks the system's language where the panel has a
// translation, keeps numbers and placeholders as they are, and stays exactly
// English everywhere else.
#include <QtTest>

#include <QMenu>
#include <QPushButton>
#include <QTranslator>

#include <memory>

#include "panelwindow.h"
#include "ui/peakreadoutaccessible.h"
#include "ui/translationloader.h"

using namespace panelwindow;

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initPanelTest(); }
    void cleanup()
    {
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void frenchSystemShowsFrenchCaptions()
    {
        if (QLocale::system().language() != QLocale::French)
            QSKIP("started outside CTest, which sets a French locale");
        QVERIFY(panel::installTranslations());
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Panneau de réglages KORVEN StrataMixer"));
        QCOMPARE(text(window, "label_DeadBg"), QStringLiteral("L'appareil n'est pas connecté"));
        QCOMPARE(widget<QPushButton>(window, "pushButton_Meter")->text(), QStringLiteral("VUMÈTRES"));
        QCOMPARE(widget<QPushButton>(window, "pushButton_HoldClear")->text(), QStringLiteral("RAZ"));
        QCOMPARE(widget<QMenu>(window, "menuWindow")->title(), QStringLiteral("&Fenêtre"));
        QCOMPARE(widget(window, "pushButton_PeakHoldInf")->accessibleName(),
                 QStringLiteral("Maintien des crêtes infini"));
        QCOMPARE(PeakReadoutAccessible::name(4, QStringLiteral("-4.5")), QStringLiteral("Crête du canal 5, -4.5 dB"));
        // Numbers and the hidden model placeholder are not the translator's.
        QCOMPARE(text(window, "label_recfunc13"), QStringLiteral("13/14"));
        QCOMPARE(text(window, "label_Device"), QStringLiteral("a"));
    }

    void eachLanguageOrExactEnglish_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("translated");
        QTest::addColumn<QString>("notConnected");
        const char *const rows[][2] = {{"fr_CA", "L'appareil n'est pas connecté"}, {"es_ES", "El dispositivo no está conectado"},
                                       {"de_AT", "Das Gerät ist nicht verbunden"}, {"it_IT", "Il dispositivo non è collegato"},
                                       {"ja_JP", "デバイスが接続されていません"}, {"zh_CN", "设备未连接"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << r[0] << true << QString::fromUtf8(r[1]);
        for (const char *english : {"zh_TW", "en_US", "C"})
            QTest::newRow(english) << english << false << "Device is not connected";
    }
    void eachLanguageOrExactEnglish()
    {
        QFETCH(QString, locale);
        QTEST(panel::installTranslations(QLocale(locale)), "translated");
        MainWindow window;
        QTEST(text(window, "label_DeadBg"), "notConnected");
        QFETCH(bool, translated);
        if (!translated) {
            QCOMPARE(text(window, "label_textSWVer"), QStringLiteral("Software version    :"));
            QCOMPARE(widget<QPushButton>(window, "pushButton_PeakHold1s")->text(), QStringLiteral("1 SEC"));
            QCOMPARE(window.windowTitle(), QStringLiteral("KORVEN StrataMixer Settings Panel"));
        }
    }
};

QTEST_MAIN(TranslationTest)
#include "test_translation.moc"
