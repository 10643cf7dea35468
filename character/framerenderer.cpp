// SPDX-License-Identifier: GPL-3.0-or-later
#include "character/framerenderer.h"

#include <cmath>

#include <QPainter>
#include <QSvgRenderer>

namespace character {

namespace {

// A pixel of margin round each part keeps its anti-aliased edge when the image is rotated.
constexpr int padding = 1;

// However large a part's drawing or the screen's scale, no cached part image holds more pixels
// than this (16 MB), nor all of them together more than cacheBudget: art that asks for more
// is drawn at a lower resolution and scaled up, so a character cannot exhaust memory by drawing
// far outside its frame. Real parts are a few hundred pixels wide.
constexpr double partPixelBudget = 4.0 * 1024 * 1024;
constexpr qsizetype cachePixelBudget = 32 * 1024 * 1024;
// The same for the frame itself: a 2000-unit frame at a scale of 3 would be 144 MB per frame.
constexpr double framePixelBudget = 16.0 * 1024 * 1024;

// The resolution at which an area of width x height frame units may be drawn, at most scale.
double boundedScale(double width, double height, double scale, double budget)
{
    const double area = width * height * scale * scale;
    if (!std::isfinite(area))
        return 0;
    // One more unit each way leaves room for rounding the image's size up to whole pixels.
    return area > budget ? std::sqrt(budget / ((width + 1) * (height + 1))) : scale;
}

} // namespace

FrameRenderer::FrameRenderer(std::shared_ptr<const CharacterData> data)
    : m_data(std::move(data))
    , m_svg(std::make_unique<QSvgRenderer>(m_data->art))
{
    for (const Part &p : m_data->parts) {
        m_variantBase << int(m_variantRects.size());
        for (const QString &id : p.variants)
            m_variantRects << m_svg->transformForElement(id).mapRect(m_svg->boundsOnElement(id));
    }
}

FrameRenderer::~FrameRenderer() = default;

void FrameRenderer::moveToThread(QThread *thread)
{
    m_svg->moveToThread(thread);
}

const FrameRenderer::CachedPart &FrameRenderer::part(int partIndex, int variant, double scale)
{
    if (scale != m_cachedScale) {
        m_cache.clear();
        m_cachePixels = 0;
        m_cachedScale = scale;
    }
    const int key = m_variantBase.at(partIndex) + variant;
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return *it;

    CachedPart cached;
    // Nothing beyond this reach can be brought into the frame by a pose (offsets and pivots are
    // bounded far below it), and cutting it off keeps pixel coordinates well inside int.
    const QRectF drawing = m_variantRects.at(key);
    const QRectF rect = drawing.intersected(QRectF(-1e5, -1e5, 2e5, 2e5));
    scale = boundedScale(rect.width() + 2 * padding / scale, rect.height() + 2 * padding / scale, scale,
                         partPixelBudget);
    if (rect.isValid() && !rect.isEmpty() && scale > 0) {
        const QRectF pixelRect(std::floor(rect.left() * scale) - padding, std::floor(rect.top() * scale) - padding,
                               0, 0);
        const int width = int(std::ceil(rect.right() * scale)) + padding - int(pixelRect.left());
        const int height = int(std::ceil(rect.bottom() * scale)) + padding - int(pixelRect.top());
        cached.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        cached.image.fill(Qt::transparent);
        cached.rect = QRectF(pixelRect.left() / scale, pixelRect.top() / scale, width / scale, height / scale);
        QPainter painter(&cached.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-pixelRect.left(), -pixelRect.top());
        painter.scale(scale, scale);
        m_svg->render(&painter, m_data->parts.at(partIndex).variants.at(variant), drawing);
    }
    const qsizetype pixels = qsizetype(cached.image.width()) * cached.image.height();
    if (m_cachePixels + pixels > cachePixelBudget) {
        // Rarely reached, and only by art far larger than any real character: start afresh.
        m_cache.clear();
        m_cachePixels = 0;
    }
    m_cachePixels += pixels;
    return *m_cache.insert(key, cached);
}

QList<QTransform> FrameRenderer::worldTransforms(const Pose &pose) const
{
    const qsizetype count = m_data->parts.size();
    QList<QTransform> world(count);
    QList<bool> done(count, false);
    // Parents may come after their children in drawing order, so resolve them on demand.
    const auto resolve = [&](auto &&self, int i) -> const QTransform & {
        if (done.at(i))
            return world.at(i);
        const Part &p = m_data->parts.at(i);
        const PartTransform &t = pose.at(i);
        QTransform local;
        local.translate(t.offset.x(), t.offset.y());
        local.translate(p.pivot.x(), p.pivot.y());
        local.rotate(t.rotate);
        local.scale(t.scaleX, t.scaleY);
        local.translate(-p.pivot.x(), -p.pivot.y());
        world[i] = p.parent >= 0 ? local * self(self, p.parent) : local;
        done[i] = true;
        return world.at(i);
    };
    for (int i = 0; i < count; ++i)
        resolve(resolve, i);
    return world;
}

QList<double> FrameRenderer::opacities(const Pose &pose) const
{
    const CharacterData &data = *m_data;
    const qsizetype count = data.parts.size();
    QList<double> opacity(count, -1);
    const auto resolve = [&](auto &&self, int i) -> double {
        if (opacity.at(i) >= 0)
            return opacity.at(i);
        const int parent = data.parts.at(i).parent;
        opacity[i] = pose.at(i).opacity * (parent >= 0 ? self(self, parent) : 1.0);
        return opacity.at(i);
    };
    for (int i = 0; i < count; ++i)
        resolve(resolve, i);
    return opacity;
}

QSize FrameRenderer::frameSize(const CharacterData &data, double scale)
{
    const QSizeF size = data.frameSize;
    scale = boundedScale(size.width(), size.height(), scale, framePixelBudget);
    if (scale <= 0)
        return {};
    const QSizeF pixels(std::ceil(size.width() * scale), std::ceil(size.height() * scale));
    return (pixels / scale).toSize();
}

QImage FrameRenderer::render(const Pose &pose, double scale, std::optional<MouthShape> mouth)
{
    return renderArea(pose, QRectF(QPointF(0, 0), m_data->frameSize), scale, mouth);
}

QImage FrameRenderer::renderArea(const Pose &pose, const QRectF &area, double scale, std::optional<MouthShape> mouth)
{
    scale = boundedScale(area.width(), area.height(), scale, framePixelBudget);
    const QSize size(int(std::ceil(area.width() * scale)), int(std::ceil(area.height() * scale)));
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    if (pose.size() != m_data->parts.size()) {
        frame.setDevicePixelRatio(scale);
        return frame;
    }

    const QList<QTransform> world = worldTransforms(pose);
    const QList<double> opacity = opacities(pose);
    // The scale is applied here rather than left to the image's device pixel ratio, which
    // QPainter takes as 1 whenever it is below 1.
    const QTransform toArea
        = QTransform::fromTranslate(-area.left(), -area.top()) * QTransform::fromScale(scale, scale);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < m_data->parts.size(); ++i) {
        if (opacity.at(i) <= 0.0)
            continue;
        int variant = pose.at(i).variant;
        if (mouth && i == m_data->mouthPart)
            variant = m_data->mouthVariants[int(*mouth)];
        const CachedPart &cached = part(i, variant, scale);
        if (cached.image.isNull())
            continue;
        painter.setTransform(world.at(i) * toArea);
        painter.setOpacity(std::min(1.0, opacity.at(i)));
        painter.drawImage(cached.rect, cached.image);
    }
    painter.end();
    frame.setDevicePixelRatio(scale);
    return frame;
}

QRectF FrameRenderer::paintedBounds(const Pose &pose) const
{
    QRectF bounds;
    if (pose.size() != m_data->parts.size())
        return bounds;
    const QList<QTransform> world = worldTransforms(pose);
    const QList<double> opacity = opacities(pose);
    for (int i = 0; i < m_data->parts.size(); ++i) {
        if (opacity.at(i) <= 0.0)
            continue;
        const QRectF rect = m_variantRects.at(m_variantBase.at(i) + pose.at(i).variant);
        if (rect.isValid() && !rect.isEmpty())
            bounds |= world.at(i).mapRect(rect);
    }
    return bounds;
}

qsizetype FrameRenderer::cacheBytes() const
{
    qsizetype bytes = 0;
    for (const CachedPart &p : m_cache)
        bytes += p.image.sizeInBytes();
    return bytes;
}

} // namespace character
