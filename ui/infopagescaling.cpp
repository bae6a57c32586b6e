// The information page (page 0) at the window's size.
#include "ui/mainwindow.h"

#include "ui/mainwindowstyle.h"
#include "ui/scalerule.h"
#include "ui/svgpicturepainter.h"
#include "ui_mainwindow.h"

namespace {

struct Placed {
    QWidget *widget;
    int x, y, w, h;
};

} // namespace

void MainWindow::resizeInfoWindow(float s, float sx, float sy)
{
    using panel::scaledNearest;
    using panel::scaledTrunc;
    const panel::Scale scale = panel::Scale::fromFactors(s, sx, sy);
    SvgPicturePainter pictures(devicePixelRatioF());

    QFont font(QLatin1String(panel::kPanelFontFamily), 11, panel::kBoldWeight);
    font.setPixelSize(panel::scaledFontPixels(scale, 16));
    const Placed header[] = {
        {ui->label_btnInfo, 190, 9, 138, 25},
        {ui->pushButton_Meter, 337, 9, 138, 25},
    };
    for (const Placed &p : header) {
        p.widget->setGeometry(panel::scaledRect(scale, p.x, p.y, p.w, p.h));
        p.widget->setFont(font);
    }

    font.setPixelSize(panel::scaledFontPixels(scale, 17));
    font.setWeight(QFont::Normal);
    const Placed captions[] = {
        {ui->label_textSWVer, 650, 201, 150, 16},        {ui->label_SWVer, 803, 201, 161, 16},
        {ui->label_textFWVer, 650, 232, 161, 16},        {ui->label_FWVer, 803, 232, 161, 16},
        {ui->label_textSamplerate, 652, 263, 150, 16},   {ui->label_Samplerate, 803, 263, 150, 16},
        {ui->label_textSerialNumber, 212, 447, 121, 16}, {ui->label_SerialNumber, 336, 447, 161, 16},
        {ui->label_textBuffersize, 650, 357, 160, 16},   {ui->label_BufferSize, 810, 357, 150, 16},
    };
    // The rows are drawn 16 pixels high for a 17-pixel font, and the
    // fallback fonts' accents, descenders and Japanese or Chinese glyphs
    // reach past that: each label gets its line's room around the row's
    // centre (the rows are 31 apart), and its text's width where wider.
    const int lineRoom = QFontMetrics(font).height() + 2;
    for (const Placed &p : captions) {
        p.widget->setFont(font);
        QRect rect = panel::scaledRect(scale, p.x, p.y, p.w, p.h);
        rect.setWidth(qMax(rect.width(), p.widget->sizeHint().width()));
        const int grow = qMax(0, lineRoom - rect.height());
        p.widget->setGeometry(rect.adjusted(0, -grow / 2, 0, grow - grow / 2));
    }

    ui->label_BufferBg->setGeometry(panel::scaledRect(scale, 623, 414, 356, 33));
    SvgPicturePainter::show(ui->label_BufferBg,
                            pictures.render(QStringLiteral("://Resource/slider_bg.svg"), ui->label_BufferBg->size()));
    ui->horizontalSlider_BufferSize->setGeometry(panel::scaledRect(scale, 620, 410, 353, 14));
    ui->horizontalSlider_BufferSize->setStyleSheet(panel::bufferSliderStyle(s));
    ui->label_infobg->setGeometry(panel::scaledRect(scale, 0, 0, 1110, 650));
    SvgPicturePainter::show(ui->label_infobg,
                            pictures.render(QStringLiteral("://Resource/info_bg.svg"), ui->label_infobg->size()));

    // Logos and photos keep their aspect (they follow s); the excess of one
    // axis moves them towards the middle of the free space.
    const int logoHeight = panel::scaledFontPixels(scale, 16);
    const QRect brand(scaledTrunc(23 * sx), scaledTrunc(13 * sy + 9 * scale.ey), scaledTrunc(108 * s),
                      scaledTrunc(18 * s));
    ui->label_KORVEN_info->setGeometry(brand);
    SvgPicturePainter::show(ui->label_KORVEN_info,
                            pictures.render(QStringLiteral("://Resource/logo/KORVEN_logo.svg"), brand.size()));

    const float width = static_cast<float>(m_contentSize.width());
    const int logoY = scaledTrunc(13 * sy + 8 * scale.ey);
    const struct {
        QLabel *label;
        float designWidth;
        const char *file;
    } logos[] = {
        {ui->label_Strata96_info, 172, "://Resource/logo/Strata96_logo.svg"},
        {ui->label_Strata10_info, 122, "://Resource/logo/Strata10_logo.svg"},
        {ui->label_Strata14_info, 122, "://Resource/logo/Strata14_logo.svg"},
        {ui->label_Strata20_info, 132, "://Resource/logo/Strata20_logo.svg"},
    };
    for (const auto &logo : logos) {
        const QRect rect(scaledTrunc(width - 23 - logo.designWidth * s), logoY, scaledTrunc(logo.designWidth * s),
                         logoHeight);
        logo.label->setGeometry(rect);
        SvgPicturePainter::show(logo.label, pictures.render(QLatin1String(logo.file), rect.size()));
    }

    const QSize wide(scaledNearest(552 * s), scaledNearest(486 * s));
    ui->label_Strata96photo->setGeometry(scaledTrunc(99 * sx + 220 * scale.ex), scaledTrunc(114 * sy + 153 * scale.ey),
                                         scaledNearest(441 * s), scaledNearest(306 * s));
    ui->label_Strata10photo->setGeometry(QRect(QPoint(scaledTrunc(30 * sx + 276 * scale.ex),
                                                      scaledTrunc(10 * sy + 282 * scale.ey)), wide));
    ui->label_Strata14photo->setGeometry(ui->label_Strata10photo->geometry());
    ui->label_Strata20photo->setGeometry(QRect(QPoint(scaledTrunc(35 * sx + 276 * scale.ex),
                                                      scaledTrunc(282 * scale.ey)), wide));
}
