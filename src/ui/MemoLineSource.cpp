#include "MemoLineSource.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

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
    QString text = editor.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace pennolux
