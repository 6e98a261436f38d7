#pragma once

// Text from the network made safe to show: what a server sends reaches the strip, the JSON
// output and the terminal, where control characters and direction overrides would act.

#include <QString>
#include <QStringView>

namespace ribbex {

// The text without C0 and C1 control characters (line breaks and tabs become spaces) and
// without the bidirectional embedding, override and isolate characters; past maxLength it is
// cut and ends in "…", so a server cannot put megabytes of text on the strip.
QString plainText(QStringView text, qsizetype maxLength = 500);

} // namespace ribbex
