#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>

#include "editor/history/TemplateStep.h"
#include "editor/model/TemplateModel.h"
#include "platform/Dialogs.h"
#include "platform/HandlerGuard.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QListWidgetItem;
class QToolButton;

namespace pennolux {

class LineSource;
class ColorSwatch;
class LayerList;
class MessageBoxes;
class TemplateCanvas;
class TemplateHistory;
class TemplateSession;

// The Advanced page: the canvas with its background picture and layers, the
// layer list and every editor of the current layer, showing the session's
// template and editing it through the session's history. Its controls keep
// their designed names; the template files, the run and its destination,
// which need the main window's list, format and settings, are handled by the
// window (the run through Button6 and Button7), and the shared font dialog
// through ButtonFont. The session must outlive the page.
class TemplatePage : public QWidget {
    Q_OBJECT
public:
    TemplatePage(TemplateSession& session, Dialogs& dialogs, MessageBoxes& messageBoxes, QWidget* parent = nullptr);
    ~TemplatePage() override;

    // The canvas the template is shown on (a template file opened keeps it
    // at the window's size), also while the page has never been shown.
    QSize canvasSize() const;

    // "800 × 400 pixels at 61 %": the image's size and how large the canvas shows it.
    QString zoomText() const;

    // New Text once, when the window is first shown: the canvas starts with Text 1.
    void createFirstLayerWhenShown(QWidget* window);
    // The template as the window starts it, Text 1 centred on the canvas,
    // as one undo step, with no file and nothing changed.
    void startNewTemplate();
    // The editors show the current layer as it is now (after a run has put
    // its lines into Text 1).
    void showCurrentLayer();

    // The current layer's font when it is a text layer.
    std::optional<ColoredFont> currentTextLayerFont() const;
    // Gives the current text layer the font (it resizes to its text) and
    // shows the layer's new values in the editors.
    void setCurrentTextLayerFont(const ColoredFont& font);

    // The window's list: its first line (the header's names, when the first
    // line names the fields) and the line under its cursor (0-based), which
    // Preview line shows on the canvas as START writes it.
    void followList(const LineSource& lines, int cursorLine);
    // Whether the canvas shows the list's line now: Preview line is on and
    // the line under the cursor makes an image.
    bool previewsListLine() const;

    // Handlers.
    void BitBtn6Click();
    void BitBtn7Click();
    void ListBox1Click();
    void Delete1Click();
    void MyLabelTiklandi(qint64 no);
    void MyShapeTiklandi(qint64 no);
    void SpinEdit1Change();
    void SpinEdit2Change();
    void SpinEdit3Change();
    void SpinEdit4Change();
    void Memo1Change();
    void Shape1MouseDown();
    void Button8Click();
    // The background picture from a file, as Browse... sets it; a file that
    // is no picture it can read throws with the reason.
    void setBackgroundFromFile(const QString& path);
    // The current text layer's alignment and Shrink to fit, from the three controls.
    void alignmentChanged();

    // Top bar.
    QComboBox* ComboBoxDestination2 = nullptr;
    QPushButton* Button7 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button6 = nullptr;
    // How a list line is read into the text layers, right of the
    // destination's Browse...: a menu of the three formats and the header line.
    QToolButton* fieldsButton = nullptr;
    QMenu* fieldsMenu = nullptr;
    QAction* oneFieldItem = nullptr;
    QAction* tabFieldsItem = nullptr;
    QAction* commaFieldsItem = nullptr;
    QAction* headerLineItem = nullptr;
    // Right of the picture's Browse...: the canvas shows the list's line.
    QCheckBox* previewLineBox = nullptr;
    // The image's size, and the box that lets it follow the canvas.
    QSpinBox* imageWidthField = nullptr;
    QSpinBox* imageHeightField = nullptr;
    QCheckBox* followWindowBox = nullptr;
    // Middle band.
    TemplateCanvas* Panel9 = nullptr;
    LayerList* ListBox1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* Delete1 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    // Where the current text layer's lines sit in its box.
    QComboBox* HorizontalAlignmentBox = nullptr;
    QComboBox* VerticalAlignmentBox = nullptr;
    QCheckBox* ShrinkToFitBox = nullptr;
    // Text row.
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* ButtonFont = nullptr;
    // Geometry bar.
    ColorSwatch* Shape1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QSpinBox* SpinEdit3 = nullptr;
    QSpinBox* SpinEdit4 = nullptr;

signals:
    // The image's size or the zoom changed (see zoomText).
    void zoomChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void acceptDroppedPictures();
    enum class Reactions { Suspended, Active };

    QWidget* buildTopBar();
    void buildImageSizeFields(QWidget* bar);
    void buildFieldsControls(QWidget* bar);
    QWidget* buildMiddleBand();
    void buildAlignmentControls(QWidget* column);
    QWidget* buildTextRow();
    QWidget* buildGeometryBar();
    QSpinBox* addGeometryField(QWidget* bar, int& left, const QString& caption, void (TemplatePage::*handler)());
    void connectHandler(auto* sender, auto signal, void (TemplatePage::*handler)());
    void setTabOrder();
    void keepControlsReachable();
    void openLayerMenu(QPoint globalPosition);

    void modelChanged(TemplateChange change, LayerRef layer);
    void showWholeTemplate();
    void clearEditors();
    void showInList(LayerRef layer);
    LayerRef selectedLayer() const;
    QListWidgetItem* itemOf(LayerRef layer) const;
    void loadEditors(LayerRef layer);
    void showGeometry(const LayerBox& box, Reactions reactions);
    void showMemoText(const QString& text);
    void showImageSize();
    void imageSizeEdited();
    void followWindowClicked(bool follow);
    void showRefusedTextUndone(LayerRef layer);
    // The layer's alignment, or the defaults greyed out for a shape or no layer.
    void showAlignment(const TextLayer* layer);
    // The fields' controls show the model's choice; Preview line turns on
    // when the lines come to have fields, off when they go back to one.
    void showFields();
    void fieldsChosen();
    // The list's line on the canvas, or the layers' own texts.
    void showListLine();
    // Text k named after header field k, when the first line names the fields.
    QString listName(LayerRef layer) const;
    void nameListItems();
    void applyField(QSpinBox* field, void (TemplateModel::*apply)(LayerRef, int), const QString& caption,
                    StepKind kind);

    TemplateSession& session_;
    TemplateModel& model_;      // the session's
    TemplateHistory& history_;  // the session's
    Dialogs& dialogs_;
    HandlerGuard guard_;
    QWidget* firstShowWindow_ = nullptr;
    bool fieldsReact_ = true;
    QString zoomText_;
    // The list as last followed: its first line, the line under the cursor and its index.
    QString firstListLine_;
    QString cursorListLine_;
    int cursorLineIndex_ = -1;
    QStringList headerNames_;
    FieldFormat shownFormat_ = FieldFormat::OneField;
};

} // namespace pennolux
