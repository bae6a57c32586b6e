// svg2png: renders one SVG file into a PNG of a given pixel size.
//
// The program loads a few pictures as bitmaps by name (product photos, the
// transparent style-sheet tile, the icon, the update backgrounds). They are
// drawn as SVG like everything else and turned into PNG on the build host, so
// the tree never carries a bitmap that nobody can edit.
//
//   svg2png IN.svg OUT.png [WIDTH HEIGHT]
//
// The drawing is stretched to WIDTH x HEIGHT, so the SVG's viewBox should have
// the same proportions; without a size it is rendered at its own size. Exit
// status 0 on success, 1 on a rendering or write failure, 2 on bad arguments.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

static int parseSize(const char *text)
{
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 1 || v > 16384)
        return -1;
    return static_cast<int>(v);
}

int main(int argc, char **argv)
{
    // Build hosts have no display and often no session: the offscreen
    // platform is all QtSvg needs, and a private runtime directory keeps
    // QStandardPaths from warning on every picture.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QGuiApplication app(argc, argv);

    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: svg2png IN.svg OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }

    const QString in = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QSvgRenderer renderer(in);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: cannot read %s\n", argv[1]);
        return 1;
    }

    int width = renderer.defaultSize().width();
    int height = renderer.defaultSize().height();
    if (argc == 5) {
        width = parseSize(argv[3]);
        height = parseSize(argv[4]);
        if (width < 0 || height < 0) {
            std::fprintf(stderr, "svg2png: bad size %s x %s\n", argv[3], argv[4]);
            return 2;
        }
    }

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();

    // Straight alpha on disk: what every image viewer and QPixmap expect.
    if (!image.convertToFormat(QImage::Format_ARGB32).save(out, "PNG")) {
        std::fprintf(stderr, "svg2png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
