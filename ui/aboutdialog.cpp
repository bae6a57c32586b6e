#include "ui/aboutdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/panelconstants.h"

namespace {

QFont arial(int size, bool bold)
{
    QFont font(QStringLiteral("Arial"), size);
    font.setBold(bold);
    font.setPixelSize(size);
    return font;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("KORVEN Strata Mixer"));
    setFixedSize(620, 200);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("label_icon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/Resource/icon/icon_128.png")));

    auto *product = new QLabel(tr("USB Audio Interface<p>KORVEN StrataMixer"), this);
    product->setObjectName(QStringLiteral("label_product"));
    product->setFont(arial(18, true));
    product->setMargin(0);

    auto *version = new QLabel(QStringLiteral("%1%2").arg(tr("Software Ver. : V"),
                                                          QLatin1String(panel::kSoftwareVersionFull)),
                               this);
    version->setObjectName(QStringLiteral("label_version"));
    version->setFont(arial(13, false));
    version->setMargin(10);

    auto *copyright = new QLabel(tr("Copyright (c) 2026 The Strata panel authors. Free software under the MIT License."),
                                 this);
    copyright->setObjectName(QStringLiteral("label_copyright"));
    copyright->setFont(arial(9, false));
    copyright->setAlignment(Qt::AlignRight);

    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->setAlignment(Qt::AlignLeft);

    auto *row = new QHBoxLayout;
    row->setSpacing(50);
    row->addWidget(icon);
    row->addLayout(texts);

    auto *outer = new QVBoxLayout(this);
    outer->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    outer->addLayout(row);
    outer->addWidget(copyright);
}
