#include "platform/widgets/FormHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "platform/fonts/DesignFont.h"

namespace pennolux {

void labelField(QLabel* caption, QWidget* field)
{
    caption->setBuddy(field);
    if (auto* box = qobject_cast<QComboBox*>(field)) {
        if (box->lineEdit())
            box->lineEdit()->setAccessibleName(caption->text());
        if (box->view())
            box->view()->setAccessibleName(caption->text());
    }
}

QLabel* addFieldLabel(QWidget* parent, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    if (field)
        labelField(label, field);
    return label;
}

void pressWithEnter(QPushButton* button)
{
    button->setAutoDefault(true);
}

QPushButton* addPushButton(QWidget* parent, const QString& caption, const char* objectName)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    pressWithEnter(button);
    return button;
}

QPushButton* addStartButton(QWidget* parent, const char* objectName)
{
    QPushButton* button = addPushButton(parent, QStringLiteral("START"), objectName);
    QFont startFont = designFont(10);
    startFont.setBold(true);
    button->setFont(startFont);
    return button;
}

QComboBox* addDestinationBox(QWidget* parent, const char* objectName)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(113, 6, 214, 21);
    return box;
}

int wholeNumberOrZero(const QSpinBox& field)
{
    bool whole = false;
    const int value = field.cleanText().toInt(&whole);
    return whole ? std::clamp(value, field.minimum(), field.maximum()) : 0;
}

QScreen* screenForWindow(const QWidget& window)
{
    if (const QWidget* parent = window.parentWidget())
        return parent->window()->screen();
    const QWidget* active = QApplication::activeWindow();
    if (active && active != window.window())
        return active->screen();
    if (QScreen* underPointer = QGuiApplication::screenAt(QCursor::pos()))
        return underPointer;
    return QGuiApplication::primaryScreen();
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = screenForWindow(window);
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void paintFocusFrame(QPainter& painter, const QWidget& control)
{
    if (!control.hasFocus())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(&control);
    focus.rect = control.rect().adjusted(3, 3, -3, -3);
    control.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &control);
}

} // namespace pennolux
