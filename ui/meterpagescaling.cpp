// The meter page (page 1) at the window's size.
#include "ui/mainwindow.h"

#include <QLabel>
#include <QPushButton>

#include "meter/opaquepicture.h"
#include "ui/mainwindowstyle.h"
#include "ui/scalerule.h"
#include "ui/svgpicturepainter.h"
#include "ui_mainwindow.h"

namespace {

struct Placed {
    QWidget *widget;
    int x, y, w, h;
};

// Design x of channel n (1 to 22) in one of the three groups of strips.
int stripX(int n, int first, int second, int third)
{
    if (n <= 8)
        return first + 34 * (n - 1);
    if (n <= 16)
        return second + 34 * (n - 9);
    return third + 34 * (n - 17);
}

// The main bus's caption is a word in a box barely taller than its font:
// where a translation's glyphs are taller than the Latin capitals (Japanese,
// Chinese), a smaller font keeps them off the box's edges.
void fitWordInBox(QLabel *label)
{
    constexpr int kRoom = 4;
    QFont font = label->font();
    while (font.pixelSize() > 1
           && QFontMetrics(font).tightBoundingRect(label->text()).height() > label->height() - kRoom)
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

void place(const panel::Scale &scale, const Placed *begin, const Placed *end, const QFont *font)
{
    for (const Placed *p = begin; p != end; ++p) {
        p->widget->setGeometry(panel::scaledRect(scale, p->x, p->y, p->w, p->h));
        if (font)
            p->widget->setFont(*font);
    }
}

} // namespace

void MainWindow::resizeMeterWindow(float s, float sx, float sy)
{
    using panel::scaledTrunc;
    const panel::Scale scale = panel::Scale::fromFactors(s, sx, sy);
    SvgPicturePainter pictures(devicePixelRatioF());
    QFont font(QLatin1String(panel::kPanelFontFamily), 11, panel::kBoldWeight);

    // The background keeps its aspect; the information page's stretches.
    ui->label_bg->setGeometry(panel::scaledRect(scale, 0, 0, 1110, 650));
    SvgPicturePainter::show(ui->label_bg, pictures.render(QStringLiteral("://Resource/meter_bg.svg"),
                                            QSize(scaledTrunc(1110 * s), scaledTrunc(650 * s))));
    // The page background and the bars cover their rectangles with the
    // window's black: what a bar change repaints stops at them.
    OpaquePicture::take(ui->label_bg);

    font.setPixelSize(panel::scaledFontPixels(scale, 16));
    const Placed holdButtons[] = {
        {ui->pushButton_PeakHoldOff, 23, 81, 50, 40}, {ui->pushButton_PeakHold1s, 81, 81, 50, 40},
        {ui->pushButton_PeakHold3s, 139, 81, 50, 40}, {ui->pushButton_HoldClear, 261, 81, 65, 40},
    };
    place(scale, std::begin(holdButtons), std::end(holdButtons), &font);
    QFont infinity = font;
    infinity.setPixelSize(panel::scaledFontPixels(scale, 24));
    const Placed infinityButton[] = {{ui->pushButton_PeakHoldInf, 197, 81, 50, 40}};
    place(scale, std::begin(infinityButton), std::end(infinityButton), &infinity);

    font.setPixelSize(panel::scaledFontPixels(scale, 14));
    ui->label_bgPHText->setGeometry(scaledTrunc(120 * sx + 71 * scale.ex), scaledTrunc(55 * sy), scaledTrunc(88 * s),
                                    scaledTrunc(19 * sy));
    ui->label_bgPHText->setFont(font);
    ui->label_bgMSText->setGeometry(scaledTrunc(855 * sx + 53 * scale.ex), scaledTrunc(55 * sy), scaledTrunc(106 * s),
                                    scaledTrunc(19 * sy));
    ui->label_bgMSText->setFont(font);
    const Placed lines[] = {{ui->label_bgPHL, 23, 64, 303, 2}, {ui->label_bgMSL, 729, 64, 358, 2}};
    place(scale, std::begin(lines), std::end(lines), nullptr);
    const Placed sourceButtons[] = {
        {ui->pushButton_MTRSource, 729, 81, 173, 21}, {ui->pushButton_Analog, 914, 81, 173, 21},
        {ui->pushButton_USB, 729, 109, 173, 21},      {ui->pushButton_MTR, 914, 109, 173, 21},
    };
    place(scale, std::begin(sourceButtons), std::end(sourceButtons), &font);

    font.setPixelSize(panel::scaledFontPixels(scale, 16));
    const Placed header[] = {{ui->pushButton_Information, 190, 9, 138, 25}, {ui->label_btnMeter, 337, 9, 138, 25}};
    place(scale, std::begin(header), std::end(header), &font);

    // Rec-function labels: the odd channels 13 to 21 span a stereo pair.
    for (int n = 1; n <= 22; ++n) {
        const bool pair = n >= 13 && n <= 21 && n % 2 == 1;
        const Placed label{m_recFuncLabels[n - 1], stripX(n, 47, 387, 731), 570, pair ? 60 : 26, 17};
        place(scale, &label, &label + 1, &font);
    }
    const Placed mainRecFunc[] = {{ui->label_recfuncL, 1008, 570, 52, 17}, {ui->label_recfuncR, 1039, 570, 26, 17}};
    place(scale, std::begin(mainRecFunc), std::end(mainRecFunc), &font);
    fitWordInBox(ui->label_recfuncL);

    font.setPixelSize(panel::scaledFontPixels(scale, 13));
    for (int k = 0; k < kStripCount; ++k) {
        const int x = k < 22 ? stripX(k + 1, 37, 377, 720) : (k == 22 ? 994 : 1030);
        const Placed readout{m_levelMeter[k].peakText, x, 546, 41, 21};
        place(scale, &readout, &readout + 1, &font);
    }

    // The masks are rounded, not truncated, so they meet the bars' rounded
    // edges at every size.
    QLabel *const masks[] = {ui->label_barMask1, ui->label_barMask2, ui->label_barMask3, ui->label_barMask4,
                             ui->label_barMask5};
    const int maskX[] = {546, 613, 750, 819, 887};
    for (int i = 0; i < 5; ++i) {
        const QRect rect = panel::scaledRect(scale, maskX[i], 0, 16, 342);
        masks[i]->setGeometry(rect.x(), panel::scaledNearest(205 * sy), rect.width(), rect.height());
    }

    const QPixmap bar = pictures.render(QStringLiteral("://Resource/meterbar.svg"),
                                        QSize(scaledTrunc(18 * sx), scaledTrunc(340 * sy)));
    for (levelMeter &strip : m_levelMeter) {
        strip.meter->setPixmap(bar);
        OpaquePicture::take(strip.meter);
    }
    m_drawLevelMeter.notifyLevelMeterValue(m_levelMeter);

    // Unlike the information page, these logos do not move down.
    const QRect brand(scaledTrunc(23 * sx), scaledTrunc(13 * sy), scaledTrunc(108 * s), scaledTrunc(18 * s));
    ui->label_KORVEN_meter->setGeometry(brand);
    SvgPicturePainter::show(ui->label_KORVEN_meter,
                            pictures.render(QStringLiteral("://Resource/logo/KORVEN_logo.svg"), brand.size()));
    const QRect model(scaledTrunc(static_cast<float>(m_contentSize.width()) - 23 - 172 * s), scaledTrunc(13 * sy),
                      scaledTrunc(172 * s), scaledTrunc(16 * s));
    ui->label_Strata96_meter->setGeometry(model);
    SvgPicturePainter::show(ui->label_Strata96_meter,
                            pictures.render(QStringLiteral("://Resource/logo/Strata96_logo.svg"), model.size()));
}
