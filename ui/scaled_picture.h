#pragma once
// A picture drawn for screens of 1, 2 and 3 device pixels per pixel: NAME.png with NAME@2x.png
// and NAME@3x.png beside it, as Qt names them. Enlarging the 1x drawing on a high-density
// screen would double its pixels into blocks; each screen gets the drawing made for it instead.
// Only that drawing is decoded, when a screen first asks for it: the three decoded together
// would hold 4.7 MB of pixels for the window's background, where one screen needs 0.3 MB of them.

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace moshitong {

// A PNG picture of the program's own, or a null image. Read by Qt's own PNG reader alone: asked
// to read without it, Qt first loads every image-format plugin it finds (the JPEG one with its
// library among them) to ask each whether the file is theirs.
QImage readPicture(const QString& path);

class ScaledPicture {
public:
    // `path` names the 1x drawing; the @2x and @3x ones are optional. Reads nothing yet: the
    // image reader that a paint needs anyway is not loaded before the window is on screen.
    explicit ScaledPicture(const QString& path);

    // The size in device-independent pixels: the 1x drawing's.
    QSize size() const;

    // The picture for a device of `ratio` device pixels per pixel, with that device pixel ratio,
    // so it draws at size() and pixel for pixel. A ratio between the drawings (1.25, 1.5, 1.75)
    // is the next larger drawing reduced by averaging, which keeps every stroke and line of one
    // width; the last ratio's picture is kept, so repainting on the same screen costs nothing,
    // and nothing else is.
    const QPixmap& forRatio(qreal ratio) const;

private:
    void readHeaders() const;

    QString path_;
    mutable bool headersRead_ = false;
    mutable QSize size_;
    mutable int drawings_ = 0;  // at scales 1, 2, 3, as many as there are
    mutable qreal keptRatio_ = 0;
    mutable QPixmap kept_;
};

}  // namespace moshitong
