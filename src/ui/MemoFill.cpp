#include "MemoFill.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace pennolux {

namespace {

// The editor's own caret would ride along with every insertion at its
// position and report each move; pinned, it stays at the start throughout.
void pinCaret(QPlainTextEdit& memo)
{
    QTextCursor caret = memo.textCursor();
    caret.setKeepPositionOnInsert(true);
    memo.setTextCursor(caret);
}

// One edit block, so the layout and the editor hear of the change once, and
// the text goes in with its final format so no pass over it is needed.
void replaceText(QTextDocument& document, const QString& text, const QTextCharFormat& format)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    document.clear();
    cursor.insertText(text, format);
    cursor.endEditBlock();
}

} // namespace

void fillMemo(QPlainTextEdit& memo, const QString& text)
{
    QTextDocument& document = *memo.document();
    const QTextCharFormat format = memo.textCursor().charFormat();
    pinCaret(memo);

    const bool undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false); // also drops the old text's history
    replaceText(document, text, format);
    document.setUndoRedoEnabled(undoWasEnabled);
    document.setModified(false);

    QTextCursor start(&document);
    start.setCharFormat(format); // what typing at the start will use
    memo.setTextCursor(start);
}

} // namespace pennolux
