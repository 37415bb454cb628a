#include "TextListEdit.h"

#include <QKeyEvent>
#include <QMimeData>

#include "platform/text/TextLines.h"

namespace pennolux {

void TextListEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !event->modifiers().testFlag(Qt::ShiftModifier)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent plain(QEvent::KeyPress, event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                    event->isAutoRepeat(), ushort(event->count()));
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
}

void TextListEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Plain text only, as QPlainTextEdit itself takes it, with every break a line's end.
    textCursor().insertText(withParagraphBreaks(source->text(), u"\n"));
    ensureCursorVisible();
}

} // namespace pennolux
