#include "QtMessageBoxes.h"

#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTextLayout>
#include <algorithm>

#include "platform/text/TextCut.h"
#include "platform/widgets/FormHelpers.h"

namespace pennolux {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A message box takes its final size only while being shown, so it can be
// kept inside the screen only then. The text is cut to fit beforehand, but
// on a screen up to 1024 pixels wide Qt gives a line it cannot break the
// screen's whole width, frame not counted (the line's end is hidden anyway).
class ScreenBoundMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (!event->spontaneous())
            keepInsideScreen();
    }

private:
    void keepInsideScreen()
    {
        const QScreen* screen = screenForWindow(*this);
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        const QSize frameExtra = frameGeometry().size() - size();
        const int widest = available.width() - frameExtra.width();
        const int tallest = available.height() - frameExtra.height();
        if (width() > widest)
            setFixedSize(widest, std::min(height(), tallest));
        else if (height() > tallest)
            setFixedHeight(tallest);
        QRect frame = frameGeometry();
        const QPoint lastTopLeft(std::max(available.left(), available.right() - frame.width() + 1),
                                 std::max(available.top(), available.bottom() - frame.height() + 1));
        frame.moveTopLeft({std::clamp(frame.left(), available.left(), lastTopLeft.x()),
                           std::clamp(frame.top(), available.top(), lastTopLeft.y())});
        move(frame.topLeft());
    }
};

// Qt would centre it over its parent.
class ScreenCentredMessageBox final : public ScreenBoundMessageBox {
public:
    using ScreenBoundMessageBox::ScreenBoundMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        ScreenBoundMessageBox::showEvent(event);
        if (event->spontaneous())
            return;
        centreOnScreen(*this);
    }
};

// A message box grows with its text and has no scroll bar: a long text would
// push its buttons off the screen (and take seconds to lay out). The text is
// cut to what a box of the narrowest width it takes can show within the
// screen, leaving room for the title bar, the buttons and the margins.
QString textFittingTheScreen(const QString& text, const QFont& font, const QRect& screen)
{
    // QMessageBox wraps its text at no less than half the screen or 500
    // pixels, whichever is less; the icon and margins take some of that.
    const int lineWidth = std::max(std::min(screen.width() / 2, 500) - 150, 100);
    const QFontMetrics metrics(font);
    const int lineHeight = std::max(metrics.lineSpacing(), 1);
    // One line is kept back for the "…" that a cut text ends with.
    const int lines = std::max((std::max(screen.height() - 200, screen.height() / 2)) / lineHeight - 1, 1);
    // No glyph that shows is narrower than a pixel, so nothing past this could fit.
    const QString head = cutOnWholeCharacters(text, qsizetype(lines) * (lineWidth + 1));
    const QString candidate = head.size() < text.size() ? head.chopped(1) : text;

    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int linesUsed = 0;
    qsizetype paragraphStart = 0;
    while (paragraphStart <= candidate.size()) {
        qsizetype paragraphEnd = candidate.indexOf(u'\n', paragraphStart);
        if (paragraphEnd < 0)
            paragraphEnd = candidate.size();
        QTextLayout layout(candidate.mid(paragraphStart, paragraphEnd - paragraphStart), font);
        layout.setTextOption(wrapping);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            if (++linesUsed > lines) {
                layout.endLayout();
                return cutOnWholeCharacters(candidate, paragraphStart + line.textStart());
            }
        }
        layout.endLayout();
        paragraphStart = paragraphEnd + 1;
    }
    return head;
}

// File names, error texts and translations may contain anything, "<" included.
void makePlain(QMessageBox& box, const QString& title, const QString& text, MessageIcon icon)
{
    const QScreen* screen = screenForWindow(box);
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(title);
    box.setText(screen ? textFittingTheScreen(text, box.font(), screen->availableGeometry()) : text);
    box.setIcon(qtIcon(icon));
}

} // namespace

void QtMessageBoxes::show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon)
{
    ScreenBoundMessageBox box(parent);
    makePlain(box, title, text, icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtMessageBoxes::showModeless(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                                  std::function<void()> closed)
{
    auto* box = new ScreenBoundMessageBox(parent);
    makePlain(*box, title, text, icon);
    box->setStandardButtons(QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Closing deletes the box; so does deleting its parent before anyone
    // pressed OK: both count as closed, and only once.
    QObject::connect(box, &QObject::destroyed, [closed = std::move(closed)] { closed(); });
    box->show();
}

bool QtMessageBoxes::askYesNo(QWidget* parent, const QString& title, const QString& question)
{
    ScreenCentredMessageBox box(parent);
    makePlain(box, title, question, MessageIcon::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

// Over the window whose document it is, as every editor asks.
SaveChoice QtMessageBoxes::askSaveChanges(QWidget* parent, const QString& title, const QString& question)
{
    ScreenBoundMessageBox box(parent);
    makePlain(box, title, question, MessageIcon::Warning);
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

} // namespace pennolux
