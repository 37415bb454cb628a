#include "FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <climits>
#include <cstdlib>

#include "FormHelpers.h"

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

// The family's upright face of normal weight ("Regular", "Book", ...), not a
// narrowed one when a full-width face exists.
QString regularStyleOf(const QString& family)
{
    QString best;
    int bestScore = INT_MAX;
    for (const QString& style : QFontDatabase::styles(family)) {
        // QFontDatabase::italic() says false for an oblique face.
        if (QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal ||
            style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive) ||
            style.contains(QLatin1String("Italic"), Qt::CaseInsensitive))
            continue;
        const bool narrowed = style.contains(QLatin1String("Condensed"), Qt::CaseInsensitive) ||
                              style.contains(QLatin1String("Narrow"), Qt::CaseInsensitive);
        const int score = std::abs(QFontDatabase::weight(family, style) - QFont::Normal) * 4 + (narrowed ? 1 : 0);
        if (score < bestScore) {
            bestScore = score;
            best = style;
        }
    }
    return best;
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

    // Embedded as a plain child: its own buttons give way to ours, and its
    // margins to the dialog's, so its columns line up with the colour row.
    fontChooser_->setWindowFlags(Qt::Widget);
    fontChooser_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    if (QLayout* chooserLayout = fontChooser_->layout())
        chooserLayout->setContentsMargins(0, 0, 0, 0);
    // Escape inside the chooser closes the chooser itself; close all of us instead.
    connect(fontChooser_, &QDialog::rejected, this, &QDialog::reject);
    connect(fontChooser_, &QFontDialog::currentFontChanged, this, &FontColorDialog::fontChanged);

    auto* colorLabel = new QLabel(QStringLiteral("Color:"), this);
    labelField(colorLabel, colorButton_);
    connect(colorButton_, &QPushButton::clicked, this, &FontColorDialog::chooseColor);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colorButton_);
    colorRow->addStretch();

    // Enter confirms the font, as in Qt's own font dialog, rather than
    // opening the colour chooser.
    colorButton_->setAutoDefault(false);
    // Enter in the chooser's lists confirms the chooser itself; confirm all of
    // us. Enter elsewhere in it (the size field) reaches the chooser, which
    // has no button of its own to press; it confirms all of us too.
    connect(fontChooser_, &QDialog::accepted, this, &QDialog::accept);
    fontChooser_->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fontChooser_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    fontChooser_->setVisible(true);
    showColor();
}

// The chooser's first list holds the families.
QListView* FontColorDialog::familyList() const
{
    return fontChooser_->findChild<QListView*>();
}

// The dialog opens on the family, as Qt's own font dialog does.
void FontColorDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QListView* families = familyList())
        families->setFocus(Qt::OtherFocusReason);
}

bool FontColorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fontChooser_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FontColorDialog::setColoredFont(const ColoredFont& coloredFont)
{
    family_ = bareFamily(coloredFont.font.family());
    fontChooser_->setCurrentFont(coloredFont.font);
    color_ = coloredFont.color;
    showColor();
}

// Qt's chooser keeps the style most like the last family's, which for a
// family without a "Regular" can be its oblique or light face. A new family
// starts in its regular style, at the size already chosen.
void FontColorDialog::fontChanged(const QFont& font)
{
    const QString family = bareFamily(font.family());
    if (family == family_)
        return;
    family_ = family;
    QFont regular(font.family());
    regular.setStyleName(regularStyleOf(font.family()));
    if (font.pointSizeF() > 0)
        regular.setPointSizeF(font.pointSizeF());
    regular.setUnderline(font.underline());
    regular.setStrikeOut(font.strikeOut());
    // After the chooser has finished its own reaction to the new family,
    // which would otherwise put its chosen face back.
    QMetaObject::invokeMethod(
        this,
        [this, regular] {
            const QSignalBlocker quiet(fontChooser_);
            fontChooser_->setCurrentFont(regular);
        },
        Qt::QueuedConnection);
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
    QColorDialog dialog(color_.resolveForImage(), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted)
        pickColor(dialog.selectedColor());
}

void FontColorDialog::showColor()
{
    // The swatch shows what images get; the sample sits on the theme's
    // field, so it keeps the theme's reading of a system colour.
    colorButton_->setIcon(swatch(color_.resolveForImage()));
    // The chooser has no colour of its own; its sample is named for styling.
    fontChooser_->setStyleSheet(
        QStringLiteral("#qt_fontDialog_sampleEdit { color: %1; }").arg(color_.resolve(palette()).name()));
}

} // namespace pennolux
