#include "FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace pennolux {

namespace {

// The chooser lists a family found at two foundries as "Family [Foundry]";
// only the family belongs in the font (and in the settings file).
QString bareFamily(const QString& listedFamily)
{
    const qsizetype foundryStart = listedFamily.lastIndexOf(QLatin1String(" ["));
    if (foundryStart > 0 && listedFamily.endsWith(u']'))
        return listedFamily.left(foundryStart);
    return listedFamily;
}

// The chooser's font carries a style name that would override any later change
// of weight or slant; keep only what the user chose.
QFont plainCopy(const QFont& chosen)
{
    QFont font(bareFamily(chosen.family()));
    if (chosen.pointSizeF() > 0)
        font.setPointSizeF(chosen.pointSizeF());
    font.setWeight(chosen.weight());
    font.setItalic(chosen.style() != QFont::StyleNormal);
    font.setUnderline(chosen.underline());
    font.setStrikeOut(chosen.strikeOut());
    return font;
}

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(32, 14);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

FontColorDialog::FontColorDialog(QWidget* parent)
    : QDialog(parent),
      fontChooser_(new QFontDialog(this)),
      colorButton_(new QPushButton(QStringLiteral("Color..."), this))
{
    setWindowTitle(QStringLiteral("Font"));
    colorButton_->setObjectName(QStringLiteral("colorButton"));

    // Embedded as a plain child: its own buttons give way to ours.
    fontChooser_->setWindowFlags(Qt::Widget);
    fontChooser_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    // Escape inside the chooser closes the chooser itself; close all of us instead.
    connect(fontChooser_, &QDialog::rejected, this, &QDialog::reject);

    auto* colorLabel = new QLabel(QStringLiteral("Color:"), this);
    colorLabel->setBuddy(colorButton_);
    connect(colorButton_, &QPushButton::clicked, this, &FontColorDialog::chooseColor);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colorButton_);
    colorRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fontChooser_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    fontChooser_->setVisible(true);
    showColor();
}

void FontColorDialog::setColoredFont(const ColoredFont& coloredFont)
{
    fontChooser_->setCurrentFont(coloredFont.font);
    color_ = coloredFont.color;
    showColor();
}

ColoredFont FontColorDialog::coloredFont() const
{
    return {plainCopy(fontChooser_->currentFont()), color_};
}

void FontColorDialog::pickColor(const QColor& color)
{
    color_ = ColorValue::fromRgb(color);
    showColor();
}

void FontColorDialog::chooseColor()
{
    QColorDialog dialog(color_.resolve(), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted)
        pickColor(dialog.selectedColor());
}

void FontColorDialog::showColor()
{
    colorButton_->setIcon(swatch(color_.resolve()));
}

} // namespace pennolux
