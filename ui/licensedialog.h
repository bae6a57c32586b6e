// The licence text of the program in a read-only browser.
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

class LicenseDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr char kResourcePath[] = ":/Resource/LICENSE.txt";

    explicit LicenseDialog(const QString &text, QWidget *parent = nullptr);

    // Reads the file as UTF-8 without its form feeds (page breaks of the
    // printed licence, shown as boxes otherwise). False when it cannot be opened.
    static bool readText(const QString &path, QString *text);

    // Shows the file modally, or the warning box (parented to warningParent)
    // when the file cannot be opened.
    static void run(QWidget *warningParent, const QString &path);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
