#pragma once

#include "production/textlist/LineSource.h"

class QPlainTextEdit;

namespace pennolux {

// The lines of the window's list as the editor counts them: an empty text has
// no lines, and a text ending in a line break has no empty last line. A line
// is a block, so the list is never read whole, not even for a preview of a
// million lines; TextListEdit keeps every break a block's end.
class MemoLineSource final : public LineSource {
public:
    explicit MemoLineSource(const QPlainTextEdit& editor) : editor_(editor) {}

    int lineCount() const override;
    QString line(int index) const override;

private:
    const QPlainTextEdit& editor_;
};

// The list's text with "\n" between lines, exactly as typed: unlike
// toPlainText(), non-breaking spaces stay what they are.
QString memoText(const QPlainTextEdit& editor);

} // namespace pennolux
