#pragma once

// The part of a screen the desktop's panels leave free, worked out from the space each panel
// reserves along the edges of the root window, as window managers do for each monitor.

#include <QList>
#include <QRect>
#include <QSize>

namespace ribbex {

// One window's reservation, in device pixels, as _NET_WM_STRUT_PARTIAL gives it: the thickness
// along each edge of the root window and the span of that edge it covers (inclusive).
struct Strut {
    struct Edge {
        int thickness = 0;
        int start = 0;
        int end = 0;
        bool operator==(const Edge &) const = default;
    };
    Edge left;
    Edge right;
    Edge top;
    Edge bottom;
    bool operator==(const Strut &) const = default;

    bool isEmpty() const { return *this == Strut {}; }
    // The twelve cardinals of _NET_WM_STRUT_PARTIAL, or the four of _NET_WM_STRUT, whose
    // reservations span whole edges of a root window this big; empty for any other count.
    static Strut fromCardinals(const QList<quint32> &values, const QSize &root);
    QList<quint32> toCardinals() const;
};

// The screen less what the struts reserve over it; the screen itself when that leaves nothing.
QRect areaClearOf(const QRect &screen, const QSize &root, const QList<Strut> &struts);

// A reservation of the top edge down to the bottom of this rectangle, over its width.
Strut topStrutFor(const QRect &rectangle);

} // namespace ribbex
