#pragma once

#include <QString>

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class QScreen;
class QSpinBox;
class QWidget;

namespace pennolux {

// The few ways every window of the program builds and reads its controls,
// so that the pages and dialogs behave alike.

// The caption names its field for screen readers and moves the focus to it
// (its mnemonic). An editable box's own parts, its text and its list, carry
// the name too, as a screen reader may land on them.
void labelField(QLabel* caption, QWidget* field);

// A plain-text caption (file names and translations may hold "<"), labelling
// field when there is one.
QLabel* addFieldLabel(QWidget* parent, const QString& caption, QWidget* field = nullptr);

// Enter presses a focused push button as Space does, as on the design's
// platform; Qt's buttons take Enter only inside dialogs.
void pressWithEnter(QPushButton* button);

// A push button with its caption and object name that Enter presses.
QPushButton* addPushButton(QWidget* parent, const QString& caption, const char* objectName);

// A page's START: the caption in the bold design font, pressed by Enter too.
QPushButton* addStartButton(QWidget* parent, const char* objectName);

// A destination box: editable, without list entries, any text accepted as
// the folder. Both pages place it at the same spot of their top row.
QComboBox* addDestinationBox(QWidget* parent, const char* objectName);

// The field's text as a whole number within its range; text that is not a
// whole number (an emptied field, a lone sign) counts as 0. The text is read
// rather than value(), which keeps the last valid number until the field
// loses the focus.
int wholeNumberOrZero(const QSpinBox& field);

// The screen a window belongs on: that of its parent's window, else that of
// the active window, else the one under the mouse pointer, else the primary
// screen. A window opened from another stays on its screen; the main window
// opens where the user is looking.
QScreen* screenForWindow(const QWidget& window);

// Moves the window, frame included when it has one, to the centre of the
// available area of screenForWindow().
void centreOnScreen(QWidget& window);

// The style's dotted focus frame, 3 pixels inside the control, while it has
// the keyboard focus; for controls that paint themselves.
void paintFocusFrame(QPainter& painter, const QWidget& control);

} // namespace pennolux
