#include "ui/scalerule.h"

#include <algorithm>
#include <cmath>

namespace panel {

Scale Scale::forContent(int width, int height)
{
    const float sx = static_cast<float>(width) / static_cast<float>(kDesignWidth);
    const float sy = static_cast<float>(height) / static_cast<float>(kDesignHeight);
    return fromFactors(std::min(sx, sy), sx, sy);
}

Scale Scale::fromFactors(float s, float sx, float sy)
{
    Scale scale;
    scale.sx = sx;
    scale.sy = sy;
    scale.s = s;
    scale.ex = std::max(sx - sy, 0.0f);
    scale.ey = std::max(sy - sx, 0.0f);
    return scale;
}

int scaledNearest(float value)
{
    return static_cast<int>(std::lround(value));
}

QRect scaledRect(const Scale &scale, int x, int y, int w, int h)
{
    return QRect(scaledTrunc(static_cast<float>(x) * scale.sx), scaledTrunc(static_cast<float>(y) * scale.sy),
                 scaledTrunc(static_cast<float>(w) * scale.sx), scaledTrunc(static_cast<float>(h) * scale.sy));
}

QString bufferSliderStyle(float s)
{
    const auto number = [](float value) { return QString::number(static_cast<double>(value), 'g', 6); };
    return QStringLiteral("QSlider{ background-image: url(:/Resource/trans.png); }QSlider{ background-color: rgba(0,0,0,0) }"
                          "QSlider::groove:horizontal{ background-image: url(:/Resource/trans.png); position: absolute; "
                          "top:7px; bottom:7px; height: 1px; }QSlider::handle:horizontal{ background: #22A1FF; border: ")
        + number(s) + QStringLiteral("px solid #2A2A2A; height: ") + number(14 * s) + QStringLiteral("px; width: ")
        + number(14 * s) + QStringLiteral("px; margin: ") + number(-7 * s) + QStringLiteral("px 0px; border-radius: ")
        + number(7 * s) + QStringLiteral("px;}");
}

} // namespace panel
