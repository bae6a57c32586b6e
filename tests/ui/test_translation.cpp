// The window in the user's language, exact English elsewhere, and every text
// whole where it is read, in all seven languages at 96 dpi.
#include <QtTest>
#include <QtWidgets>

#include "panelwindow.h"
#include "service/firmwareimage.h"
#include "service/qzudeviceunit.h"
#include "test_table.h"
#include "ui/fontfallback.h"
#include "ui/panelfirmwareupdate.h"
#include "ui/peakreadoutaccessible.h"
#include "ui/translationloader.h"
#include "update/updatesoftware.h"

using namespace panelwindow;

namespace {

const char kManifest[] = R"({"Strata96_version1": {"mac_software_version_major": 2,
    "mac_software_version_minor": 1, "firmware_version_major": 1, "firmware_version_minor": 3,
    "messages": {"English": "<b>Strata 96 firmware 1.03</b> adds a clip hold to the meters.<br>Read more on our website."}}})";

QString tooBig(qreal need, qreal room, const char *what)
{
    return need > room ? QStringLiteral("%1 px %2 in %3").arg(need).arg(QLatin1String(what)).arg(room) : QString();
}

// One line in `area`: as wide as the glyphs and, where the alignment puts
// the line, tall enough for them (half a pixel of antialiasing aside).
QString lineOverflow(const QString &text, const QFont &font, const QRect &area, Qt::Alignment align)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const qreal lineHeight = line.height();
    QRectF ink;   // the glyphs, from the top of their line
    for (const QGlyphRun &run : layout.glyphRuns())
        for (int i = 0; i < run.glyphIndexes().size(); ++i)
            ink |= run.rawFont().boundingRect(run.glyphIndexes().at(i)).translated(run.positions().at(i));
    const qreal top = align & Qt::AlignTop ? 0 : align & Qt::AlignBottom ? area.height() - lineHeight
                                                                          : (area.height() - lineHeight) / 2;
    if (top + ink.top() < -0.5)
        return QStringLiteral("glyphs above the top");
    return tooBig(ink.width(), area.width(), "wide") + tooBig(top + ink.bottom(), area.height() + 0.5, "down");
}

// What of the text `w` shows lies outside the area that shows it.
QString overflow(const QWidget *w)
{
    if (const auto *browser = qobject_cast<const QTextBrowser *>(w))
        return tooBig(browser->document()->size().height(), browser->viewport()->height(), "high")
               + tooBig(browser->document()->idealWidth(), browser->viewport()->width(), "wide");
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->wordWrap())
            return tooBig(label->heightForWidth(label->width()), label->height(), "high");
        const bool rich = Qt::mightBeRichText(label->text());
        const QString plain = rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text();
        return tooBig(label->sizeHint().width(), label->width(), "wide")
               + (plain.contains(QLatin1Char('\n')) ? tooBig(label->sizeHint().height(), label->height(), "high")
                                                    : lineOverflow(plain, label->font(), label->contentsRect(), label->alignment()));
    }
    const auto *button = qobject_cast<const QAbstractButton *>(w);
    if (!button)
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    const bool box = qobject_cast<const QCheckBox *>(button);
    QRect area = button->style()->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                                                 &option, button);
    area.setTop(0);
    area.setHeight(button->height());
    return lineOverflow(QString(button->text()).remove(QLatin1Char('&')), button->font(), area, Qt::AlignVCenter);
}

// Each visible text of `root`: whole, inside every parent, and (where
// `apart`) clear of the other texts and the progress bar.
QStringList misfits(const QWidget *root, const QString &where, bool apart)
{
    QStringList found;
    QList<const QWidget *> shown;
    for (const QWidget *w : root->findChildren<const QWidget *>()) {
        if (!w->isVisibleTo(root) || !(qobject_cast<const QTextBrowser *>(w) || qobject_cast<const QProgressBar *>(w)
                                       || !w->property("text").toString().isEmpty()))
            continue;
        QString problem = overflow(w);
        for (const QWidget *p = w; problem.isEmpty() && p != root && !p->isWindow(); p = p->parentWidget())
            if (!p->parentWidget()->rect().contains(p->geometry()))
                problem = QStringLiteral("cut by %1").arg(p->parentWidget()->objectName());
        for (const QWidget *other : shown)
            if (problem.isEmpty() && apart && other->parentWidget() == w->parentWidget() && other->geometry().intersects(w->geometry()))
                problem = QStringLiteral("on %1").arg(other->objectName());
        shown.append(w);
        if (!problem.isEmpty())
            found.append(QStringLiteral("%1 %2 \"%3\": %4").arg(where, w->objectName(), w->property("text").toString().left(40), problem));
    }
    return found;
}

} // namespace

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initPanelTest();
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        panel::installFontFallbacks();
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    // Each language by its own translation whatever the country, exact
    // English for any other; then every text fits.
    void eachLanguageOrExactEnglishFits_data()
    {
        addColumns<QLocale, bool, QString>("locale", "translated", "notConnected");
        const char *const rows[][2] = {{"fr_CA", "L'appareil n'est pas connecté"}, {"es_ES", "El dispositivo no está conectado"},
                                       {"de_AT", "Das Gerät ist nicht verbunden"}, {"it_IT", "Il dispositivo non è collegato"},
                                       {"ja_JP", "デバイスが接続されていません"}, {"zh_CN", "设备未连接"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QLocale(QLatin1String(r[0])) << true << QString::fromUtf8(r[1]);
        for (const char *english : {"en_US", "zh_TW", "C"})
            QTest::newRow(english) << QLocale(QLatin1String(english)) << false << "Device is not connected";
    }
    void eachLanguageOrExactEnglishFits()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, translated);
        QLocale::setDefault(locale);   // as the desktop's language reaches the panel at start
        QTEST(panel::installTranslations(), "translated");
        MainWindow window;
        QTEST(text(window, "label_DeadBg"), "notConnected");
        const QLocale::Language language = locale.language();
        if (language == QLocale::French) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Panneau de réglages KORVEN StrataMixer"));
            QCOMPARE(widget<QPushButton>(window, "pushButton_Meter")->text(), QStringLiteral("VUMÈTRES"));
            QCOMPARE(widget(window, "pushButton_PeakHoldInf")->accessibleName(), QStringLiteral("Maintien des crêtes infini"));
            QCOMPARE(PeakReadoutAccessible::name(4, QStringLiteral("-4.5")), QStringLiteral("Crête du canal 5, -4.5 dB"));
            // Numbers and the hidden model placeholder are not the translator's.
            QCOMPARE(text(window, "label_recfunc13"), QStringLiteral("13/14"));
            QCOMPARE(text(window, "label_Device"), QStringLiteral("a"));
        }
        if (!translated) {
            QCOMPARE(window.windowTitle(), QStringLiteral("KORVEN StrataMixer Settings Panel"));
            if (language != QLocale::English)
                return;   // the English texts are measured once
        }
        if (QFontDatabase().families(language == QLocale::Japanese  ? QFontDatabase::Japanese
                                     : language == QLocale::Chinese ? QFontDatabase::SimplifiedChinese
                                                                    : QFontDatabase::Latin).isEmpty())
            QSKIP("no font for this language is installed");
        QStringList found;

        UpdateSoftware update;
        update.saveInformation(QString::fromUtf8(kManifest));
        update.cancelSoftware();
        update.checkFirmwareInformation(QStringLiteral("Strata 96"), QStringLiteral("1.02 0023"));
        update.downloadErrorBox().show();
        update.openDownloadFileInfo();
        update.showFirmwareProgress(42, 100);
        QApplication::processEvents();
        const std::pair<const QWidget *, const char *> windows[] = {
            {&update.informationNotice(), "information"}, {&update.softwareNotice(), "software"},
            {&update.firmwareNotice(), "firmware"}, {update.downloadWindowWidget(), "download"}};
        for (const auto &[box, name] : windows)
            found << misfits(box, QLatin1String(name), true);
        found << misfits(&update.downloadErrorBox(), QStringLiteral("error box"), false);

        FirmwareImage missing;
        missing.open(QDir::temp().filePath(QStringLiteral("strata-panel-update-Xq3kPz/Strata96_Firmware_V103.bin")));
        for (int outcome = QZUDeviceUnit::FirmwareOk; outcome <= QZUDeviceUnit::FirmwareNoUnit; ++outcome) {
            update.showFirmwareResult(outcome == QZUDeviceUnit::FirmwareOk, PanelFirmwareUpdate::resultText(outcome, missing.error()));
            QApplication::processEvents();
            found << misfits(update.downloadWindowWidget(), QStringLiteral("result %1").arg(outcome), true);
        }
        update.closeAll();

        window.show();
        window.resize(window.minimumSize());
        for (const char *name : {"pushButton_Meter", "label_textSerialNumber", "label_SerialNumber"})
            window.findChild<QWidget *>(QLatin1String(name))->show();
        QApplication::processEvents();
        auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            found << misfits(pages->widget(page), QStringLiteral("page %1").arg(page), false);
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TranslationTest)
#include "test_translation.moc"
