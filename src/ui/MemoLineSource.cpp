#include "MemoLineSource.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include "platform/text/TextLines.h"

namespace pennolux {

namespace {

class ShiftEnterAsEnter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            !key->modifiers().testFlag(Qt::ShiftModifier))
            return false;
        QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text(),
                        key->isAutoRepeat(), ushort(key->count()));
        QCoreApplication::sendEvent(watched, &plain);
        return true;
    }
};

} // namespace

int MemoLineSource::lineCount() const
{
    const QTextDocument* document = editor_.document();
    const int blocks = document->blockCount();
    return document->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

QString MemoLineSource::line(int index) const
{
    return editor_.document()->findBlockByNumber(index).text();
}

QString memoText(const QPlainTextEdit& editor)
{
    return withParagraphBreaks(editor.document()->toRawText(), u"\n");
}

void typeBreaksAsParagraphs(QPlainTextEdit& editor)
{
    editor.installEventFilter(new ShiftEnterAsEnter(&editor));
}

} // namespace pennolux
