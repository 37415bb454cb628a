#include "MemoLineSource.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include "platform/text/TextLines.h"

namespace pennolux {

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

} // namespace pennolux
