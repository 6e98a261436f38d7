#include "ticker/run_tiles.h"

#include <algorithm>
#include <atomic>

namespace ribbex {

void RunTiles::reset(QSize size, DrawTile draw)
{
    static std::atomic<quint64> lastKey {0};
    m_size = size.isEmpty() ? QSize() : size;
    m_draw = std::move(draw);
    m_key = ++lastKey;
    m_kept.clear();
    m_drawn = 0;
}

int RunTiles::keptTileLimit() const
{
    const qsizetype tileBytes = qsizetype {tileWidth} * std::max(height(), 1) * 4;
    return static_cast<int>(std::max<qsizetype>(minimumKeptTiles, byteBudget / tileBytes));
}

QImage RunTiles::tile(int index) const
{
    if (index < 0 || index >= tileCount())
        return {};
    const auto found = std::ranges::find(m_kept, index, &Kept::index);
    if (found != m_kept.end()) {
        found->lastUse = ++m_uses;
        return found->image;
    }
    if (static_cast<int>(m_kept.size()) >= keptTileLimit())
        m_kept.erase(std::ranges::min_element(m_kept, {}, &Kept::lastUse));
    QImage image = m_draw(tileLeft(index), tileWidthAt(index));
    image.setDevicePixelRatio(1);
    ++m_drawn;
    m_kept.push_back({index, image, ++m_uses});
    return image;
}

qsizetype RunTiles::keptBytes() const
{
    qsizetype bytes = 0;
    for (const Kept &kept : m_kept)
        bytes += kept.image.sizeInBytes();
    return bytes;
}

} // namespace ribbex
