// The Help menu: the maker's web pages for the connected model, the licence
// and the About box. "- Update" belongs to the update service's part of the
// window.
#include "ui/mainwindow.h"

#include <QDesktopServices>
#include <QLocale>

#include "ui/aboutdialog.h"
#include "ui/licensedialog.h"
#include "ui/weblinks.h"
#include "ui_mainwindow.h"

namespace {

void openWebPage(panel::WebPage page, const QString &model)
{
    // The model and the locale are read at the click, so the page follows the
    // unit present now. A failing hand-over has nothing to tell the user.
    QDesktopServices::openUrl(
        panel::webPageUrl(page, model, panel::japaneseEdition(QLocale()), panel::WebHosts::configured()));
}

} // namespace

void MainWindow::on_actionProduct_Information_triggered()
{
    openWebPage(panel::WebPage::ProductTop, ui->label_Device->text());
}

void MainWindow::on_actionFAQ_triggered()
{
    openWebPage(panel::WebPage::Support, ui->label_Device->text());
}

void MainWindow::on_actionKORVEN_ID_triggered()
{
    openWebPage(panel::WebPage::AccountLogin, ui->label_Device->text());
}

void MainWindow::on_actionManual_triggered()
{
    openWebPage(panel::WebPage::Documents, ui->label_Device->text());
}

void MainWindow::on_actionLicense_triggered()
{
    LicenseDialog::run(this, QLatin1String(LicenseDialog::kResourcePath));
}

void MainWindow::on_actionKORVEN_StrataMixer_triggered()
{
    AboutDialog about;
    about.exec();
}
