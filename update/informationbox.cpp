#include "update/informationbox.h"

#include <QPainter>
#include <QPixmap>

InformationBox::InformationBox(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    setFixedSize(570, 160);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
#ifdef Q_OS_MACOS
    ui.textMessage->setStyleSheet(QStringLiteral("color: white; font: 14pt;"));
#else
    // The box was laid out where a point is a pixel and the controls' font
    // has 13 of them; at 96 dpi 14 points would push the offered version out
    // of the text area, and a desktop's larger font the controls out of the box.
    ui.textMessage->setStyleSheet(QStringLiteral("color: white; font: 14px;"));
    QFont controls = font();
    controls.setPixelSize(13);
    for (QWidget *control : {static_cast<QWidget *>(ui.okButton), static_cast<QWidget *>(ui.noButton),
                             static_cast<QWidget *>(ui.dontShowCheckBox)})
        control->setFont(controls);
#endif
}

InformationBox::~InformationBox() = default;

void InformationBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawPixmap(0, 0, QPixmap(QStringLiteral(":/Resource/update/info_570x160_strata.png")));
}
