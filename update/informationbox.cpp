#include "update/informationbox.h"

#include <QPainter>
#include <QPixmap>

InformationBox::InformationBox(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    setFixedSize(570, 160);
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
    ui.textMessage->setStyleSheet(QStringLiteral("color: white; font: 14pt;"));
}

InformationBox::~InformationBox() = default;

void InformationBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.drawPixmap(0, 0, QPixmap(QStringLiteral(":/Resource/update/info_570x160_strata.png")));
}
