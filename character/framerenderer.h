// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>

#include <QHash>
#include <QImage>
#include <QRectF>
#include <QTransform>

#include "character/characterfile.h"

class QSvgRenderer;
class QThread;

namespace character {

// Draws poses of a character. Each variant of each part is rendered from the SVG once per scale
// and kept; a frame is then only a few transformed image draws, cheap enough for every frame.
class FrameRenderer final
{
public:
    explicit FrameRenderer(std::shared_ptr<const CharacterData> data);
    ~FrameRenderer();
    Q_DISABLE_COPY_MOVE(FrameRenderer)

    // The frame at a device pixel ratio; mouth replaces the mouth part's variant while speaking.
    // A frame too large for the pixel budget comes at a lower ratio (its devicePixelRatio says which).
    QImage render(const Pose &pose, double scale, std::optional<MouthShape> mouth = std::nullopt);
    // The same over any area in frame coordinates: tools use it to see what a pose draws outside
    // the frame, which the character's window would cut off.
    QImage renderArea(const Pose &pose, const QRectF &area, double scale,
                      std::optional<MouthShape> mouth = std::nullopt);

    // The size, in logical pixels, of the frames render() makes for that character at that ratio:
    // what a window showing them needs, known without a renderer or drawing.
    static QSize frameSize(const CharacterData &data, double scale);

    // Where the parts of a pose would draw, in frame coordinates: transparent parts left out.
    QRectF paintedBounds(const Pose &pose) const;

    // Each part's placement in the frame, parents included.
    QList<QTransform> worldTransforms(const Pose &pose) const;
    // Each part's opacity times its parents': what the part is drawn with.
    QList<double> opacities(const Pose &pose) const;

    // Bytes held by the cached part images.
    qsizetype cacheBytes() const;

    // For a renderer made, and its parts drawn, on a worker thread ahead of use: hands it to the
    // thread that will draw with it. Called on the thread that made it.
    void moveToThread(QThread *thread);

private:
    struct CachedPart
    {
        QImage image;
        QRectF rect; // frame coordinates the image covers
    };
    const CachedPart &part(int partIndex, int variant, double scale);

    std::shared_ptr<const CharacterData> m_data;
    std::unique_ptr<QSvgRenderer> m_svg;
    QList<QRectF> m_variantRects; // by part, variant flattened via m_variantBase
    QList<int> m_variantBase;
    double m_cachedScale = 0;
    qsizetype m_cachePixels = 0;
    QHash<int, CachedPart> m_cache; // key: m_variantBase[part] + variant
};

} // namespace character
