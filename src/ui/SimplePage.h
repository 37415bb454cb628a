#pragma once

#include <QWidget>
#include <optional>

#include "PageRun.h"
#include "production/simplerun/TextMetrics.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace pennolux {

class ColorSwatch;
class HandlerGuard;
class PreviewPanel;
struct ColoredFont;
struct SimpleLook;

// The Simple page: images sized to their text plus margins, in one font on
// one background colour, with a preview of the list's current line under
// START. Its controls keep their designed names.
class SimplePage final : public QWidget {
    Q_OBJECT
public:
    // The list and the font, which the Advanced page's font dialog shares,
    // belong to the window and must outlive the page.
    SimplePage(const PageRunContext& context, const HandlerGuard& guard, const QPlainTextEdit& list,
               ColoredFont& font, QWidget* parent = nullptr);

    void ButtonBrowseClick();
    void Shape2MouseDown();
    void Button5Click();
    void Button4Click();

    // Draws the preview afresh once the current pass of the event loop is
    // done, whatever else changes in it: for a font chosen elsewhere.
    void schedulePreview();

    QComboBox* ComboBoxDestination1 = nullptr;
    QPushButton* ButtonBrowse = nullptr;
    ColorSwatch* Shape2 = nullptr;
    QPushButton* Button5 = nullptr;
    QSpinBox* SpinEdit5 = nullptr;
    QSpinBox* SpinEdit6 = nullptr;
    QSpinBox* SpinEdit7 = nullptr;
    QSpinBox* SpinEdit8 = nullptr;
    QPushButton* Button4 = nullptr;
    // The image START would write for the list's current line.
    PreviewPanel* preview = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* addLabel(const QString& caption, int left, int top);
    QSpinBox* addMarginField(const char* name, int top);
    void buildPreview();
    SimpleLook simpleLook() const;
    void updatePreview();

    PageRunContext context_;
    const HandlerGuard& guard_;
    const QPlainTextEdit& list_;
    ColoredFont& font_;
    QTimer* previewTimer_ = nullptr;
    std::optional<RenderFont> previewFont_;  // kept while the font stays
};

} // namespace pennolux
