#pragma once

#include <QPlainTextEdit>

namespace pennolux {

// The text list's editor. It shows a line separator (U+2028) as a line break,
// so none is let inside a line: Shift+Enter ends the line as Enter does, and
// pasted or dropped text has its separators turned into line ends. A line is
// then always one block, which is what START, the preview and Save read.
class TextListEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace pennolux
