#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include "editor/model/Template.h"
#include "editor/model/TemplateState.h"

namespace pennolux {

// What a template file holds: the canvas size the template is run at and
// the template (its picture embedded, so the file runs anywhere).
struct TemplateDocument {
    QSize canvas;
    Template content;
};

// The template file's suffix and the dialogs' filter.
inline const QString kTemplateSuffix = QStringLiteral("pnxt");
inline const QString kTemplateFilter = QStringLiteral("Pennolux templates (*.pnxt)");

// The file's text: UTF-8 JSON in the documented form (docs/template-format.md),
// keys in their documented order, the picture's bytes in base64. A document
// the reader would refuse (a value beyond the format's limits) throws AppError
// "Cannot save the template: <what is wrong in it>"; a picture's file name is
// stored with any "\" made "_", so it reads back as a name.
QByteArray templateFileText(const TemplateDocument& document);

// The document the text describes, every value checked and the embedded
// picture decoded as "Browse..." decodes one. Throws AppError "Cannot open
// the template "<path>": <what is wrong in it>".
TemplateDocument parseTemplateFile(const QByteArray& text, const QString& path);

// Reads and parses the file (refusing a file larger than any template can be).
TemplateDocument readTemplateFile(const QString& path);

// Writes the file whole or not at all: a failure leaves any earlier file as
// it was. Throws AppError "Cannot save the template "<path>": ..." for a
// document the reader would refuse (nothing is written then), "Cannot create
// file ..." when the file cannot be written.
void writeTemplateFile(const QString& path, const TemplateDocument& document);

// The document of the template being edited, run at `canvas`.
TemplateDocument documentOf(const TemplateState& state, QSize canvas);

// The order the layer list shows a file's layers in: the text layers by
// number, then the shape layers by number (the order they were made in, as
// far as the file tells).
std::vector<LayerRef> listedOrderOf(const std::vector<LayerRef>& stacking);

// The state a document opens as: its layers listed by listedOrderOf(), the
// counters after the highest number of each kind, Text 1 current when there
// is one, and the document's canvas as the size the template is run at.
TemplateState openedState(const TemplateDocument& document);

} // namespace pennolux
