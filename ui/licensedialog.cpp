#include "ui/licensedialog.h"

#include <QFile>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

LicenseDialog::LicenseDialog(const QString &text, QWidget *parent)
    : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("License Information"));
    setFixedSize(650, 400);
    auto *layout = new QVBoxLayout(this);
    m_browser->setReadOnly(true);
    layout->addWidget(m_browser);
    m_browser->setText(text);
}

bool LicenseDialog::readText(const QString &path, QString *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(file.readAll());
    text->remove(QChar(0x000C));
    return true;
}

void LicenseDialog::run(QWidget *warningParent, const QString &path)
{
    QString text;
    if (!readText(path, &text)) {
        QMessageBox::warning(warningParent, tr("File Missing!"),
                             tr("There is a possibility that the file has been moved or deleted."),
                             QMessageBox::Ok);
        return;
    }
    LicenseDialog dialog(text);
    dialog.exec();
}
