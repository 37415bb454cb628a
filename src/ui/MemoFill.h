#pragma once

class QPlainTextEdit;
class QString;

namespace pennolux {

// Replaces the editor's text as setPlainText() does (same text, blocks and
// character format; caret at the start; the load itself not undoable, typing
// afterwards undoable), but without setPlainText()'s second pass over the
// whole document that re-applies the character format it has just inserted.
void fillMemo(QPlainTextEdit& memo, const QString& text);

} // namespace pennolux
