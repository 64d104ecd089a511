#include "ui/scaled_picture.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <vector>

namespace moshitong {

namespace {

constexpr int kLargestScale = 3;

// "…/background.png" at 2 is "…/background@2x.png".
QString drawingPath(const QString& path, int scale) {
    if (scale == 1) {
        return path;
    }
    const QFileInfo info(path);
    return info.path() + u'/' + info.completeBaseName() + QStringLiteral("@%1x.").arg(scale) +
           info.suffix();
}

// Which source pixels make up each of `to` pixels along one axis of `from`, and how much of
// each: a target pixel is the average of its footprint, border pixels counted by the share of
// them it covers.
struct Footprint {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Footprint> footprints(int from, int to) {
    const double step = static_cast<double>(from) / to;
    std::vector<Footprint> result(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double start = i * step;
        const double end = std::min<double>((i + 1) * step, from);
        Footprint& footprint = result[static_cast<std::size_t>(i)];
        footprint.first = static_cast<int>(start);
        for (int k = footprint.first; k < end; ++k) {
            const double covered = std::min<double>(end, k + 1) - std::max<double>(start, k);
            footprint.weights.push_back(static_cast<float>(covered / step));
        }
    }
    return result;
}

// Area averaging: each device pixel is the average of the part of the drawing it covers, so a
// line two pixels wide in the 2x drawing is one and a half at 1.5x, alike on every side. Qt's
// smooth scaling interpolates between neighbours instead and, reducing the 2x drawing to 1.25x,
// blurs the title's strokes below the detail of the 1x picture.
QImage reduce(const QImage& source, const QSize& size) {
    const QImage from = source.convertToFormat(QImage::Format_RGBA8888);
    const std::vector<Footprint> across = footprints(from.width(), size.width());
    const std::vector<Footprint> down = footprints(from.height(), size.height());
    constexpr int kChannels = 4;
    const auto rowLength = static_cast<std::size_t>(size.width()) * kChannels;

    // Across first, into one row of floats per source row.
    std::vector<float> rows(static_cast<std::size_t>(from.height()) * rowLength);
    for (int y = 0; y < from.height(); ++y) {
        const uchar* line = from.constScanLine(y);
        float* out = &rows[static_cast<std::size_t>(y) * rowLength];
        for (const Footprint& footprint : across) {
            for (std::size_t k = 0; k < footprint.weights.size(); ++k) {
                const uchar* pixel = line + (footprint.first + static_cast<int>(k)) * kChannels;
                for (int c = 0; c < kChannels; ++c) {
                    out[c] += footprint.weights[k] * pixel[c];
                }
            }
            out += kChannels;
        }
    }

    QImage result(size, QImage::Format_RGBA8888);
    for (int y = 0; y < size.height(); ++y) {
        const Footprint& footprint = down[static_cast<std::size_t>(y)];
        uchar* line = result.scanLine(y);
        for (std::size_t x = 0; x < rowLength; ++x) {
            float sum = 0;
            for (std::size_t k = 0; k < footprint.weights.size(); ++k) {
                const auto row = static_cast<std::size_t>(footprint.first) + k;
                sum += footprint.weights[k] * rows[row * rowLength + x];
            }
            line[x] = static_cast<uchar>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
    return result;
}

QSize pictureSize(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.size();
}

}  // namespace

QImage readPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

ScaledPicture::ScaledPicture(const QString& path) : path_(path) {
}

QSize ScaledPicture::size() const {
    readHeaders();
    return size_;
}

void ScaledPicture::readHeaders() const {
    if (headersRead_) {
        return;
    }
    headersRead_ = true;
    // The headers only: a drawing's size is known without decoding its pixels.
    for (int scale = 1; scale <= kLargestScale; ++scale) {
        const QSize size = pictureSize(drawingPath(path_, scale));
        if (!size.isValid()) {
            break;
        }
        if (scale == 1) {
            size_ = size;
        }
        drawings_ = scale;
    }
}

const QPixmap& ScaledPicture::forRatio(qreal ratio) const {
    readHeaders();
    if (ratio == keptRatio_ || drawings_ == 0) {
        return kept_;
    }
    // The smallest drawing at least as large as the device wants, else the largest there is.
    const auto scale = static_cast<int>(std::clamp<qreal>(std::ceil(ratio - 1e-6), 1, drawings_));
    const QImage drawing = readPicture(drawingPath(path_, scale));
    const QSize device(static_cast<int>(std::lround(size_.width() * ratio)),
                       static_cast<int>(std::lround(size_.height() * ratio)));
    QImage picture = drawing;
    if (drawing.width() > device.width() && drawing.height() > device.height()) {
        picture = reduce(drawing, device);
    } else if (drawing.size() != device) {
        // Only past the largest drawing: a screen of more than 3 device pixels per pixel.
        picture = drawing.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    picture.setDevicePixelRatio(ratio);
    kept_ = QPixmap::fromImage(std::move(picture));
    keptRatio_ = ratio;
    return kept_;
}

}  // namespace moshitong
