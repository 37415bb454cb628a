#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/text/ColorValue.h"

class QWidget;

namespace pennolux {

// A font as the font dialog holds it: family, size and style in the QFont,
// the colour as a colour value that may name a system colour.
struct ColoredFont {
    QFont font;
    ColorValue color;

    friend bool operator==(const ColoredFont&, const ColoredFont&) = default;
};

struct FileDialogRequest {
    QString title;
    QStringList nameFilters;   // "TXT File (*.txt)", "Any File (*)"
    QString defaultSuffix;     // "txt"
    QString startFolder;
    // When set, the open dialog shows beside its list what this returns for
    // the file under the cursor, fitted into the size asked; a null image
    // shows no picture.
    std::function<QImage(const QString& path, QSize box)> preview = nullptr;
};

// A line of text to ask for: the dialog's title, the explanation above the
// field and the text the field starts with.
struct TextRequest {
    QString title;
    QString explanation;
    QString text;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Only existing folders; opens in startFolder; nullopt on cancel.
    virtual std::optional<QString> pickFolder(QWidget* parent, const QString& title,
                                              const QString& acceptLabel,
                                              const QString& startFolder) = 0;
    virtual std::optional<QColor> pickColor(QWidget* parent, const QColor& initial) = 0;
    // The colour of the result changes only when the user picked one.
    virtual std::optional<ColoredFont> pickFont(QWidget* parent, const ColoredFont& initial) = 0;
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The text as confirmed; nullopt on cancel.
    virtual std::optional<QString> askText(QWidget* parent, const TextRequest& request) = 0;
};

} // namespace pennolux
