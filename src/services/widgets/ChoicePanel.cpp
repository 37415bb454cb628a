#include "ChoicePanel.h"

#include <QLabel>
#include <QPainter>
#include <qdrawutil.h>

#include "platform/widgets/FormHelpers.h"

namespace pennolux {

namespace {

constexpr int kPictureSize = 32;
constexpr int kPictureLeft = 4;

} // namespace

ChoicePanel::ChoicePanel(const QIcon& picture, QWidget* parent)
    : QAbstractButton(parent), picture_(new QLabel(this))
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    picture_->setPixmap(picture.pixmap(kPictureSize, kPictureSize));
    picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
    picture_->setFixedSize(kPictureSize, kPictureSize);
}

void ChoicePanel::setSelected(bool selected)
{
    setChecked(selected);
    update();
}

QSize ChoicePanel::sizeHint() const
{
    return {kPictureLeft + kPictureSize + fontMetrics().horizontalAdvance(text()) + 16, 40};
}

void ChoicePanel::paintEvent(QPaintEvent*)
{
    picture_->move(kPictureLeft, (height() - kPictureSize) / 2);
    QPainter painter(this);
    const bool selected = isSelected();
    const QPalette& colours = palette();
    painter.fillRect(rect(), selected ? colours.color(QPalette::Highlight) : colours.color(QPalette::Button));
    qDrawShadePanel(&painter, rect(), colours, selected, 1);
    painter.setPen(selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::WindowText));
    painter.setFont(font());
    const QRect textArea = rect().adjusted(kPictureLeft + kPictureSize, 0, 0, 0);
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
    paintFocusFrame(painter, *this);
}

} // namespace pennolux
