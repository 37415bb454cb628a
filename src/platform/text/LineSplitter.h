#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace pennolux {

// Lines as every text file of the program is read: CR LF, LF and a lone CR
// each end a line, and the text after the last break is a line only when it
// holds something ("a\r\n" is one line, "" none).

inline bool isLineBreak(QChar character)
{
    return character == u'\n' || character == u'\r';
}

// Splits a text that arrives in pieces, as a file is read in chunks, by the
// rule above: a CR that ends one piece and an LF that opens the next are one
// break, and a line may span any number of pieces.
//
//     splitter.feed(piece, atEnd);
//     while (const auto line = splitter.nextLine())
//         use(*line);
//
// A line that lies within one piece is a view into it, so a text fed whole
// gives views into that text and nothing is copied. Only the unfinished end
// of a piece is copied, into a buffer that is reused from line to line.
class LineSplitter {
public:
    // The next piece of the text; atEnd: none follows it. The piece must stay
    // as it is until nextLine() has run out of lines for it.
    void feed(QStringView piece, bool atEnd);

    // The next line, valid until the next call; nothing once the piece fed
    // is used up, its unfinished end then kept for the next piece. After the
    // piece fed with atEnd, the last line comes too.
    std::optional<QStringView> nextLine();

    // Whether the last character fed was a line break, which makes no line.
    bool endsWithLineBreak() const { return endsWithLineBreak_; }

private:
    QStringView piece_;
    qsizetype at_ = 0;
    bool atEnd_ = false;
    // The previous piece ended on CR: an LF opening this one belongs to it.
    bool crPending_ = false;
    bool endsWithLineBreak_ = false;
    // The start of a line that began in an earlier piece.
    QString carried_;
    // carried_ was last given out as a line, so it is emptied on the next call.
    bool carriedGiven_ = false;
};

} // namespace pennolux
