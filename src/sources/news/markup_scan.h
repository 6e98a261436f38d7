#pragma once

// A quick look at a document's markup before the XML reader sees it. The reader checks each
// element's attributes against each other, so its time grows with the square of their number: a
// feed with one element of 200,000 attributes would take a minute. This finds such elements in
// one pass.

#include <QByteArrayView>

#include <optional>

namespace ribbex {

// The line of the first tag with more than maxAttributes attributes, if any.
std::optional<qint64> lineOfCrowdedTag(QByteArrayView document, qsizetype maxAttributes);

} // namespace ribbex
