#pragma once

// The run picture (one run of the ticker line, drawn once and scrolled) cut into tiles of a fixed
// device width. A tile is drawn the first time it is asked for and only the tiles used last are
// kept, so a line of any length shows whole in bounded memory, and scrolling into a new stretch
// of a long line draws just that stretch.

#include <QImage>

#include <functional>
#include <vector>

namespace ribbex {

class RunTiles {
public:
    // Draws the device columns [left, left + width) of the run at the run's height, in
    // premultiplied ARGB.
    using DrawTile = std::function<QImage(int left, int width)>;

    static constexpr int tileWidth = 2048;
    // What the kept tiles may hold, unless the tiles of one frame need more.
    static constexpr qsizetype byteBudget = 16 * 1024 * 1024;
    // Two copies of the run across the widest strip at the largest scale.
    static constexpr int minimumKeptTiles = 8;

    // A new picture of the given size in device pixels; every tile of the last one is forgotten.
    void reset(QSize size, DrawTile draw);
    void clear() { reset({}, {}); }

    bool isNull() const { return m_size.isEmpty(); }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    // Differs between any two pictures, so a copy of a tile can be told from a stale one.
    quint64 key() const { return m_key; }

    int tileCount() const { return isNull() ? 0 : (width() + tileWidth - 1) / tileWidth; }
    static int tileAt(int x) { return x / tileWidth; }
    // The device columns of a tile: from index × tileWidth, the last one shorter.
    int tileLeft(int index) const { return index * tileWidth; }
    int tileWidthAt(int index) const { return std::min(tileWidth, width() - tileLeft(index)); }
    // How many tiles fit the budget at this height: the most any holder of tiles should keep.
    int keptTileLimit() const;

    // The tile's picture, at a device pixel ratio of 1; drawn now unless it was kept.
    QImage tile(int index) const;

    // Tiles drawn since the last reset, and the bytes of those kept.
    int drawnTiles() const { return m_drawn; }
    qsizetype keptBytes() const;

private:
    struct Kept {
        int index = 0;
        QImage image;
        quint64 lastUse = 0;
    };

    QSize m_size;
    DrawTile m_draw;
    quint64 m_key = 0;
    // A cache: asking for a tile changes what is kept, not what the picture is.
    mutable std::vector<Kept> m_kept;
    mutable quint64 m_uses = 0;
    mutable int m_drawn = 0;
};

} // namespace ribbex
