#include "update/messagebrowser.h"

#include <QDebug>
#include <QDesktopServices>
#include <QImage>
#include <QTextDocument>

#include "update/messagemarkup.h"

MessageBrowser::MessageBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    // A word longer than the line wraps anywhere rather than widening the text.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl &url) {
        if (MessageMarkup::isOpenableLink(url))
            QDesktopServices::openUrl(url);
        else
            qDebug().noquote() << "UpdateSoftware: link not opened:" << url.toString().left(200);
    });
}

QVariant MessageBrowser::loadResource(int type, const QUrl &name)
{
    const QString path = name.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + name.path() : name.toString();
    if (type == QTextDocument::ImageResource && MessageMarkup::isOwnPicture(path)) {
        const QImage own(path);
        if (!own.isNull())
            return own;
    }
    // An empty answer would make the document, and after it the image
    // handler, open the name as a file themselves: a transparent pixel and an
    // empty text stand in for whatever was asked for.
    if (type == QTextDocument::ImageResource) {
        QImage nothing(1, 1, QImage::Format_ARGB32);
        nothing.fill(Qt::transparent);
        return nothing;
    }
    return QString(QLatin1String(""));
}
