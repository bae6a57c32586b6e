// The Help menu: which page each web item opens for which model and edition,
// the licence text and its missing-file warning, the About box.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <functional>
#include <memory>

#include "panelwindow.h"
#include "strata_config.h"
#include "ui/aboutdialog.h"
#include "ui/licensedialog.h"
#include "ui/weblinks.h"

using namespace panelwindow;
using panel::WebPage;

Q_DECLARE_METATYPE(panel::WebPage)

namespace {

// Runs `inspect` on the modal window the next exec() shows, then closes it.
void whenModalShows(std::function<void(QWidget *)> inspect)
{
    QTimer::singleShot(0, [inspect] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        inspect(modal);
        modal->close();
    });
}

} // namespace

class HelpMenuTest : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    void init() { m_opened.clear(); }

    void webAddresses_data()
    {
        QTest::addColumn<WebPage>("page");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("url");
        const struct {
            const char *model, *word;
        } models[] = {{"Strata 96", "strata_96"}, {"Strata 10", "strata_10"}, {"Strata 14", "strata_14"},
                      {"Strata 20", "strata_20"}, {"No Device", "strata_20"}, {"", "strata_20"},
                      {"strata 96", "strata_20"}};
        for (const auto &m : models) {
            for (bool jp : {false, true}) {
                const QString edition = jp ? QStringLiteral("jp") : QStringLiteral("int");
                const QString tag = QStringLiteral("%1 %2 ").arg(QLatin1String(m.model), edition);
                const QString base = QStringLiteral("https://web.test/%1/product/%2/").arg(edition, QLatin1String(m.word));
                QTest::newRow(qPrintable(tag + "top")) << WebPage::ProductTop << m.model << jp << base + "top";
                QTest::newRow(qPrintable(tag + "support")) << WebPage::Support << m.model << jp << base + "support";
                QTest::newRow(qPrintable(tag + "docs"))
                    << WebPage::Documents << m.model << jp
                    << QStringLiteral("https://web.test/int/product/%1/docs").arg(QLatin1String(m.word));
            }
        }
        QTest::newRow("account jp") << WebPage::AccountLogin << "Strata 96" << true
                                    << "https://id-ja.test/ja/customer/account/login";
        QTest::newRow("account int") << WebPage::AccountLogin << "No Device" << false
                                     << "https://id.test/en/customer/account/login";
    }
    void webAddresses()
    {
        QFETCH(WebPage, page);
        QFETCH(QString, model);
        QFETCH(bool, japanese);
        QFETCH(QString, url);
        const panel::WebHosts hosts{QStringLiteral("web.test"), QStringLiteral("id-ja.test"), QStringLiteral("id.test")};
        QCOMPARE(panel::webPageUrl(page, model, japanese, hosts).toString(), url);
    }

    void editionFollowsDefaultLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("japanese");
        QTest::newRow("ja_JP") << "ja_JP" << true;
        QTest::newRow("en_US") << "en_US" << false;
        QTest::newRow("de_DE") << "de_DE" << false;
        QTest::newRow("zh_CN") << "zh_CN" << false;
    }
    void editionFollowsDefaultLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, japanese);
        QCOMPARE(panel::japaneseEdition(QLocale(locale)), japanese);
    }

    // The model is read at the click: with no unit the Strata 20 pages open,
    // and a Japanese system still gets the international documents.
    void menuItemsOpenThePageOfTheModelAtTheClick()
    {
        MainWindow window;
        const QLocale previous;
        QLocale::setDefault(QLocale(QStringLiteral("ja_JP")));
        widget<QAction>(window, "actionProduct_Information")->trigger();
        window.slt_RecvDeviceName(QStringLiteral("Strata 14"));
        widget<QAction>(window, "actionFAQ")->trigger();
        widget<QAction>(window, "actionManual")->trigger();
        widget<QAction>(window, "actionKORVEN_ID")->trigger();
        QLocale::setDefault(previous);
        const QString web = QStringLiteral("https://" STRATA_WEB_HOST);
        QCOMPARE(m_opened, (QList<QUrl>{QUrl(web + "/jp/product/strata_20/top"), QUrl(web + "/jp/product/strata_14/support"),
                                        QUrl(web + "/int/product/strata_14/docs"),
                                        QUrl(QStringLiteral("https://" STRATA_ACCOUNT_HOST_JA "/ja/customer/account/login"))}));
    }

    void licenceTextLosesItsFormFeeds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QByteArray("MIT License\nline\n") << "MIT License\nline\n";
        QTest::newRow("form feeds") << QByteArray("page 1\n\f\npage 2\f") << "page 1\n\npage 2";
        QTest::newRow("UTF-8") << QByteArray("\xc2\xa9 2026\f") << QString::fromUtf8("\u00a9 2026");
    }
    void licenceTextLosesItsFormFeeds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
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

    void licenceItemShowsTheCompiledInText()
    {
        MainWindow window;
        bool seen = false;
        whenModalShows([&](QWidget *modal) {
            auto *dialog = qobject_cast<LicenseDialog *>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("License Information"));
            QCOMPARE(dialog->size(), QSize(650, 400));
            QVERIFY(!dialog->parentWidget());
            QVERIFY(dialog->browser()->isReadOnly());
            QVERIFY(dialog->browser()->toPlainText().startsWith(QStringLiteral("KORVEN StrataMixer Settings Panel")));
            QVERIFY(dialog->browser()->toPlainText().contains(QStringLiteral("MIT License")));
            seen = true;
        });
        widget<QAction>(window, "actionLicense")->trigger();
        QVERIFY(seen);
    }

    void missingLicenceWarnsWithoutDialog()
    {
        MainWindow window;
        bool seen = false;
        whenModalShows([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            QCOMPARE(box->parentWidget(), &window);
            QCOMPARE(box->windowTitle(), QStringLiteral("File Missing!"));
            QCOMPARE(box->text(), QStringLiteral("There is a possibility that the file has been moved or deleted."));
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            seen = true;
        });
        LicenseDialog::run(&window, QStringLiteral(":/Resource/no-such-licence.txt"));
        QVERIFY(seen);
    }

    void aboutBoxShowsProductVersionAndCopyright()
    {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("KORVEN Strata Mixer"));
        QCOMPARE(about.minimumSize(), QSize(620, 200));
        QCOMPARE(about.maximumSize(), QSize(620, 200));
        QVERIFY(!(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        const struct {
            const char *name;
            const char *text;
            int pixels;
            bool bold;
        } labels[] = {
            {"label_product", "USB Audio Interface<p>KORVEN StrataMixer", 18, true},
            {"label_version", "Software Ver. : V2.00 0023", 13, false},
            {"label_copyright", nullptr, 9, false},
        };
        for (const auto &l : labels) {
            auto *label = about.findChild<QLabel *>(QLatin1String(l.name));
            QVERIFY(label);
            if (l.text)
                QCOMPARE(label->text(), QLatin1String(l.text));
            QCOMPARE(label->font().pixelSize(), l.pixels);
            QCOMPARE(label->font().bold(), l.bold);
        }
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("label_icon"))->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(about.findChild<QLabel *>(QStringLiteral("label_copyright"))->alignment() & Qt::AlignRight);
    }

private:
    QList<QUrl> m_opened;
};

QTEST_MAIN(HelpMenuTest)
#include "test_helpmenu.moc"
