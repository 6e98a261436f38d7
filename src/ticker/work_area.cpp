#include "ticker/work_area.h"

#include <algorithm>
#include <limits>

namespace ribbex {

namespace {

bool overlaps(const Strut::Edge &edge, int first, int last)
{
    return edge.thickness > 0 && edge.start <= last && edge.end >= first;
}

int cardinal(quint32 value)
{
    return static_cast<int>(std::min<quint32>(value, std::numeric_limits<int>::max()));
}

} // namespace

Strut Strut::fromCardinals(const QList<quint32> &values, const QSize &root)
{
    if (values.size() != 12 && values.size() != 4)
        return {};
    const auto at = [&values](qsizetype index) { return cardinal(values[index]); };
    if (values.size() == 4) {
        // The older property reserves each edge over its whole length.
        const int lastX = root.width() - 1;
        const int lastY = root.height() - 1;
        return {{at(0), 0, lastY}, {at(1), 0, lastY}, {at(2), 0, lastX}, {at(3), 0, lastX}};
    }
    return {{at(0), at(4), at(5)}, {at(1), at(6), at(7)}, {at(2), at(8), at(9)}, {at(3), at(10), at(11)}};
}

QList<quint32> Strut::toCardinals() const
{
    const auto c = [](int value) { return static_cast<quint32>(std::max(0, value)); };
    return {c(left.thickness), c(right.thickness), c(top.thickness), c(bottom.thickness), c(left.start), c(left.end),
        c(right.start), c(right.end), c(top.start), c(top.end), c(bottom.start), c(bottom.end)};
}

QRect areaClearOf(const QRect &screen, const QSize &root, const QList<Strut> &struts)
{
    // Edges as exclusive bounds, so a reservation compares directly with them.
    int left = screen.left();
    int top = screen.top();
    int right = screen.left() + screen.width();
    int bottom = screen.top() + screen.height();
    for (const Strut &strut : struts) {
        if (overlaps(strut.left, screen.top(), screen.bottom()))
            left = std::max(left, strut.left.thickness);
        if (overlaps(strut.right, screen.top(), screen.bottom()))
            right = std::min(right, root.width() - strut.right.thickness);
        if (overlaps(strut.top, screen.left(), screen.right()))
            top = std::max(top, strut.top.thickness);
        if (overlaps(strut.bottom, screen.left(), screen.right()))
            bottom = std::min(bottom, root.height() - strut.bottom.thickness);
    }
    if (right <= left || bottom <= top)
        return screen;
    return QRect(left, top, right - left, bottom - top);
}

Strut topStrutFor(const QRect &rectangle)
{
    Strut strut;
    strut.top = {rectangle.top() + rectangle.height(), rectangle.left(), rectangle.left() + rectangle.width() - 1};
    return strut;
}

} // namespace ribbex
