// pennolux_svg_to_png INPUT.svg SIZE OUTPUT.png: renders the SVG into a PNG
// with a transparent background, SIZE pixels square or WIDTHxHEIGHT.
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.svg SIZE|WIDTHxHEIGHT OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QStringList sides = QString::fromLocal8Bit(argv[2]).split(u'x');
    bool widthOk = false;
    bool heightOk = false;
    const int width = sides.front().toInt(&widthOk);
    const int height = sides.back().toInt(&heightOk);
    const QString output = QString::fromLocal8Bit(argv[3]);
    if (sides.size() > 2 || !widthOk || !heightOk || width < 1 || height < 1 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "%s: \"%s\" is no size from 1 to 4096 pixels\n", argv[0], argv[2]);
        return 2;
    }
    QSvgRenderer renderer(input);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read the SVG file \"%s\"\n", argv[0], argv[1]);
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.convertToFormat(QImage::Format_ARGB32).save(output, "PNG")) {
        std::fprintf(stderr, "%s: cannot write \"%s\"\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
