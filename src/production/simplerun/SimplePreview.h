#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"
#include "production/textlist/LineSource.h"

namespace pennolux {

struct PreviewLine {
    int index = 0;  // 0-based; the file would be Output<index + 1>
    QString text;
};

// The line the Simple page shows before START: the line holding the text
// cursor; for an empty line (or the cursor after the last line), the first
// non-empty line after it, else the first non-empty line of the list; none
// when no line holds text.
std::optional<PreviewLine> previewLine(const LineSource& lines, int cursorIndex);

// What START would write for the line: its working image, or the error START
// would report for it ("Line 2 ("john…"): ...") and no image.
struct SimplePreview {
    QImage image;
    QString error;
};
// font is look.font made ready to draw; a caller that previews often keeps it
// between calls, since making one reads the font's tables.
SimplePreview renderSimplePreview(const PreviewLine& line, const SimpleLook& look, const RenderFont& font);

// The largest whole zoom from 1 to 8 at which the image fits the area; 1 when
// not even that fits (the picture is then cut, never shrunk).
int previewZoom(QSize image, QSize area);

} // namespace pennolux
