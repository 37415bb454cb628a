#include "platform/text/LineSplitter.h"

namespace pennolux {

void LineSplitter::feed(QStringView piece, bool atEnd)
{
    if (carriedGiven_) {
        carried_.resize(0);
        carriedGiven_ = false;
    }
    piece_ = piece;
    at_ = 0;
    atEnd_ = atEnd;
    if (!piece.isEmpty())
        endsWithLineBreak_ = isLineBreak(piece.back());
}

std::optional<QStringView> LineSplitter::nextLine()
{
    if (carriedGiven_) {
        // resize, not clear: the buffer keeps its room for the next long line.
        carried_.resize(0);
        carriedGiven_ = false;
    }
    const auto* const characters = piece_.utf16();
    const qsizetype size = piece_.size();
    if (crPending_ && at_ < size) {
        if (characters[at_] == u'\n')
            ++at_;
        crPending_ = false;
    }
    qsizetype lineBreak = at_;
    while (lineBreak < size && characters[lineBreak] != u'\n' && characters[lineBreak] != u'\r')
        ++lineBreak;

    const QStringView found = piece_.sliced(at_, lineBreak - at_);
    if (lineBreak < size) {
        if (characters[lineBreak] == u'\r') {
            if (lineBreak + 1 == size)
                crPending_ = true;
            else if (characters[lineBreak + 1] == u'\n')
                ++lineBreak;
        }
        at_ = lineBreak + 1;
    } else {
        at_ = size;
        if (!atEnd_) {
            carried_.append(found);
            return std::nullopt;
        }
        if (found.isEmpty() && carried_.isEmpty())
            return std::nullopt;
    }
    if (carried_.isEmpty())
        return found;
    carried_.append(found);
    carriedGiven_ = true;
    return QStringView(carried_);
}

} // namespace pennolux
