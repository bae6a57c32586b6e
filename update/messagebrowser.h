// The text field of the update notices. What it shows may come from the
// maker's server, so it loads no resource but the panel's own ":/"
// pictures, never navigates, and hands https links to the desktop's browser.
#pragma once

#include <QTextBrowser>

class MessageBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit MessageBrowser(QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;
};
