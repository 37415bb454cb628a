#pragma once

#include <QDialog>

#include "platform/Dialogs.h"

class QFontDialog;
class QListView;
class QPushButton;

namespace pennolux {

// Qt's font chooser (family, style, size, strike-out, underline) with a colour
// choice beside it. The colour stays as it came in, system colour and all,
// unless the user picks another.
class FontColorDialog final : public QDialog {
    Q_OBJECT

public:
    explicit FontColorDialog(QWidget* parent = nullptr);

    void setColoredFont(const ColoredFont& coloredFont);
    ColoredFont coloredFont() const;

    // What a confirmed colour dialog does; from then on the colour is this one.
    void pickColor(const QColor& color);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListView* familyList() const;
    void chooseColor();
    void showColor();
    void fontChanged(const QFont& font);

    QFontDialog* fontChooser_ = nullptr;
    QPushButton* colorButton_ = nullptr;
    ColorValue color_ = colors::clWindowText;
    QString family_;
};

} // namespace pennolux
