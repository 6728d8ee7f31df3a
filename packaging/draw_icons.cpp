// Draws the menu icons: the program's yellow smiling face, painted afresh at
// every size rather than scaled from the small window icon, so that each size
// is sharp.
//
// Usage: listora_draw_icons <output folder> <icon name> <size>...
// writes <output folder>/<size>x<size>/apps/<icon name>.png for every size,
// the layout of the hicolor icon theme.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace
{

const QColor faceYellow(0xff, 0xff, 0x00);
const QColor ink(0x00, 0x00, 0x00);

// The outline is a whole number of pixels wide and runs along whole pixels at
// the top, bottom and sides, so that the circle's edge stays crisp and dark
// even at 16 pixels.
void paintFace(QPainter& painter, int size)
{
    const int outline = std::max(1, qRound(size / 20.0));
    const int margin = size / 64;
    const qreal radius = size / 2.0 - margin - outline / 2.0;
    const QPointF centre(size / 2.0, size / 2.0);
    painter.setPen(QPen(ink, outline));
    painter.setBrush(faceYellow);
    painter.drawEllipse(centre, radius, radius);
}

// The eyes are snapped to whole pixels, and at the small sizes drawn without
// smoothing: two crisp dark blocks read better there than two grey blurs.
void paintEyes(QPainter& painter, int size)
{
    const int width = std::max(2, qRound(size * 0.09));
    const int height = std::max(3, qRound(size * 0.15));
    const int top = qRound(size * 0.38 - height / 2.0);
    const int left = qRound(size * 0.36 - width / 2.0);
    const int right = size - left - width;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, size >= 32);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (int x : {left, right}) {
        const QRectF eye(x, top, width, height);
        if (size >= 32)
            painter.drawEllipse(eye);
        else
            painter.drawRect(eye);
    }
    painter.restore();
}

// Below 32 pixels a smoothed one-pixel curve turns into a grey smear; the
// mouth is then drawn as plain pixels instead.
void paintSmile(QPainter& painter, int size)
{
    const bool small = size < 32;
    const qreal offset = small ? 0.5 : 0.0; // puts a one-pixel line on a pixel row
    QPainterPath mouth(QPointF(size * 0.27, size * 0.60 + offset));
    mouth.quadTo(QPointF(size * 0.50, size * 0.86 + offset),
                 QPointF(size * 0.73, size * 0.60 + offset));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, !small);
    painter.setPen(QPen(ink, small ? 1.0 : size / 16.0, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(mouth);
    painter.restore();
}

QImage drawSmilingFace(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFace(painter, size);
    paintEyes(painter, size);
    paintSmile(painter, size);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool writeIcon(const QString& themeDir, const QString& name, int size)
{
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(themeDir).arg(size);
    if (!QDir().mkpath(dir))
        return false;
    return drawSmilingFace(size).save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <output folder> <icon name> <size>...\n", argv[0]);
        return EXIT_FAILURE;
    }
    const QString themeDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 16 || size > 1024 || !writeIcon(themeDir, name, size)) {
            std::fprintf(stderr, "%s: cannot write the %s pixel icon into %s\n", argv[0], argv[i],
                         argv[1]);
            return EXIT_FAILURE;
        }
    }
    return EXIT_SUCCESS;
}
