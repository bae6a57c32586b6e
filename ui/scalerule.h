// How the window's pages follow its size: every widget is designed for a
// content area of 1110 x 650 and placed by these rules at any other size.
#pragma once

#include <QRect>
#include <QString>

class QMainWindow;

namespace panel {

inline constexpr int kDesignWidth = 1110;
inline constexpr int kDesignHeight = 650;

struct Scale {
    float sx = 1.0f;
    float sy = 1.0f;
    float s = 1.0f;   // the smaller of the two: pictures keep their aspect
    float ex = 0.0f;  // excess of one axis over the other, for centring
    float ey = 0.0f;

    static Scale forContent(int width, int height);
    static Scale fromFactors(float s, float sx, float sy);
};

// Truncation toward zero, as every scaled coordinate is taken.
inline int scaledTrunc(float value) { return static_cast<int>(value); }
// Halves away from zero.
int scaledNearest(float value);

// x, y, width and height of a rectangle designed at (x, y, w, h).
QRect scaledRect(const Scale &scale, int x, int y, int w, int h);

// A font designed at `pixels` pixels.
inline int scaledFontPixels(const Scale &scale, int pixels) { return scaledTrunc(static_cast<float>(pixels) * scale.s); }

// Where the menu bar is part of the window (not the desktop's), adds its
// height to the form's minimum, so that the minimum content area below it is
// the one the scale factors are designed for.
void reserveMenuBarHeight(QMainWindow &window);

// The buffer-size slider's look with its handle scaled by s.
QString bufferSliderStyle(float s);

} // namespace panel
