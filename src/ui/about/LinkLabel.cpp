#include "ui/about/LinkLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pennolux {

namespace {

class LinkLabelAccessible final : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const LinkLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<LinkLabel*>(widget())->activate();
    }
};

QAccessibleInterface* linkLabelAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("pennolux::LinkLabel"))
        if (auto* label = qobject_cast<LinkLabel*>(object))
            return new LinkLabelAccessible(label);
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent)
{
    static const bool kFactoryInstalled = [] {
        QAccessible::installFactory(linkLabelAccessible);
        return true;
    }();
    Q_UNUSED(kFactoryInstalled);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::activate()
{
    emit activated();
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->setAccepted(pressed_);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        activate();
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // A label draws no focus of its own; without this a keyboard user
    // cannot tell that the link is the control Enter would follow.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace pennolux
