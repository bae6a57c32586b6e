// The update service's notice box: a message over a painted background, with
// up to two buttons and a "do not show again" check box at the bottom right.
#pragma once

#include <QWidget>


#include "ui_informationbox.h"

class InformationBox : public QWidget
{
    Q_OBJECT

public:
    explicit InformationBox(QWidget *parent);
    ~InformationBox() override;

    Ui::InformationBox ui;

protected:
    void paintEvent(QPaintEvent *event) override;
};
