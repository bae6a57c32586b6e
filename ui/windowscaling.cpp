// Window size modes and the scaling of the whole window to its size. The
// pages have no layouts: every widget sits where the design puts it for a
// 1110 x 650 content area, and each resize places them all again.
#include "ui/mainwindow.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QPixmapCache>
#include <QResizeEvent>
#include <QScreen>

#include "ui/mainwindowstyle.h"
#include "ui/scalerule.h"
#include "ui/svgpicturepainter.h"
#include "ui_mainwindow.h"

namespace {

constexpr char kBrandLogo[] = "://Resource/logo/KORVEN_logo.svg";

int menuBarHeight(const QMainWindow &window)
{
    const QWidget *menu = window.menuWidget();
    const auto *bar = qobject_cast<const QMenuBar *>(menu);
    return menu && !(bar && bar->isNativeMenuBar()) ? menu->sizeHint().height() : 0;
}

} // namespace

void panel::reserveMenuBarHeight(QMainWindow &window)
{
    window.setMinimumHeight(window.minimumHeight() + menuBarHeight(window));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // Every picture of the pages is rendered again below for this size. The
    // pixmap cache would keep the ones the form loaded at their design size
    // (the two backgrounds alone are about 6 MiB) alive beside the new ones,
    // though no widget shows them any longer; emptied first, each old picture
    // goes as its label takes the new one. What is still in use is loaded
    // again when next asked for.
    QPixmapCache::clear();
    // The two page backgrounds are the largest pictures: the old ones go
    // before the new ones are drawn, not after, so that the window never
    // holds both.
    ui->label_bg->clear();
    ui->label_infobg->clear();
    // The pages live below the menu bar, which on Linux is part of the
    // window; scaling to the whole window would push the bottom rows out.
    m_contentSize = QSize(event->size().width(), event->size().height() - menuBarHeight(*this));

    const panel::Scale scale = panel::Scale::forContent(m_contentSize.width(), m_contentSize.height());
    m_drawLevelMeter.scale = scale.s;
    m_drawLevelMeter.scaleX = scale.sx;
    m_drawLevelMeter.scaleY = scale.sy;

    ui->scrollArea->resize(panel::scaledTrunc(scale.sx * panel::kDesignWidth),
                           panel::scaledTrunc(scale.sy * panel::kDesignHeight));
    ui->scrollArea->move(0, 0);

    ui->label_DeadBg->setGeometry(0, 0, m_contentSize.width(), m_contentSize.height());
    QFont deadFont(QLatin1String(panel::kPanelFontFamily), 18, panel::kBoldWeight);
    deadFont.setPixelSize(panel::scaledFontPixels(scale, 24));
    ui->label_DeadBg->setFont(deadFont);
    const QRect logo(panel::scaledTrunc(23 * scale.sx), panel::scaledTrunc(13 * scale.sy),
                     panel::scaledTrunc(108 * scale.s), panel::scaledTrunc(18 * scale.s));
    ui->label_KORVEN_dead->setGeometry(logo);
    SvgPicturePainter pictures(devicePixelRatioF());
    SvgPicturePainter::show(ui->label_KORVEN_dead, pictures.render(QLatin1String(kBrandLogo), logo.size()));

    resizeMeterWindow(scale.s, scale.sx, scale.sy);
    resizeInfoWindow(scale.s, scale.sx, scale.sy);
}

void MainWindow::on_actionDefaultSize_triggered()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    showNormal();
    const QRect available = screen->availableGeometry();
    const int frameHeight = frameGeometry().height();
    const int contentHeight = geometry().height();
    // Measured from the screen's origin, not the available area's corner.
    setGeometry((available.width() - m_baseWidth) / 2,
                (available.height() - m_baseHeight) / 2 + (frameHeight - contentHeight), m_baseWidth,
                m_baseHeight);
}

void MainWindow::on_actionMaximum_triggered()
{
    showMaximized();
}

void MainWindow::on_actionMinimum_triggered()
{
    showMinimized();
}
