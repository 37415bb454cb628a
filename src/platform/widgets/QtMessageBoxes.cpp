#include "QtMessageBoxes.h"

#include <QMessageBox>
#include <QShowEvent>

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
// centred on the screen only then; Qt would centre it over its parent.
class ScreenCentredMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (event->spontaneous())
            return;
        centreOnScreen(*this);
    }
};

// File names, error texts and translations may contain anything, "<" included.
void makePlain(QMessageBox& box, const QString& title, const QString& text, MessageIcon icon)
{
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(qtIcon(icon));
}

} // namespace

void QtMessageBoxes::show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon)
{
    QMessageBox box(parent);
    makePlain(box, title, text, icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtMessageBoxes::showModeless(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                                  std::function<void()> closed)
{
    auto* box = new QMessageBox(parent);
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
    QMessageBox box(parent);
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
