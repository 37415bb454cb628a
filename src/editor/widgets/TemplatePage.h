#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "editor/history/TemplateHistory.h"
#include "editor/model/TemplateModel.h"
#include "platform/Dialogs.h"
#include "production/linerun/LineRun.h"

class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QListWidgetItem;

namespace pennolux {

class ColorSwatch;
class LayerList;
class LineSource;
class RunProgress;
class TemplateCanvas;

// The Advanced page: the canvas with its background picture and layers, the
// layer list and every editor of the current layer. Its controls keep their
// designed names; the run and its destination, which need the main window's
// list, format and settings, are handled by the window through Button6 and
// Button7, and the shared font dialog through ButtonFont.
class TemplatePage : public QWidget {
    Q_OBJECT
public:
    // Every handler of the page runs through this: errors reach the standard
    // error box.
    using HandlerRunner = std::function<void(const std::function<void()>&)>;

    TemplatePage(Dialogs& dialogs, HandlerRunner runHandler, QWidget* parent = nullptr);
    ~TemplatePage() override;

    TemplateModel& model() { return model_; }
    const TemplateModel& model() const { return model_; }
    // Every change to the template, for undo and redo.
    TemplateHistory& history() { return history_; }

    // Template files. Opening replaces the layers, the picture and the size
    // the template is run at (the canvas keeps the window's size), as one
    // undo step; a file that cannot be used throws AppError and changes
    // nothing. Saving writes the template and the size it is run at.
    void openTemplate(const QString& path);
    void saveTemplate(const QString& path) const;
    // The size of the images START makes: the opened template's, else the canvas's.
    QSize runCanvasSize() const;

    // New Text once, when the window is first shown: the canvas starts with Text 1.
    void createFirstLayerWhenShown(QWidget* window);

    // The current layer's font when it is a text layer.
    std::optional<ColoredFont> currentTextLayerFont() const;
    // Gives the current text layer the font (it resizes to its text) and
    // shows the layer's new values in the editors.
    void setCurrentTextLayerFont(const ColoredFont& font);

    // The Advanced run: every non-empty line becomes one image of
    // runCanvasSize(), with Text 1 holding the line. Text 1 of the canvas
    // takes each line as the run passes it (the editors stay as they are),
    // one undo step for the whole run; the images are drawn from the
    // template as it was at the start.
    LineRunResult runTemplate(const LineSource& lines, LineRunOptions options, RunProgress& progress);

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

    // Top bar.
    QComboBox* ComboBoxDestination2 = nullptr;
    QPushButton* Button7 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button6 = nullptr;
    // Middle band.
    TemplateCanvas* Panel9 = nullptr;
    LayerList* ListBox1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* Delete1 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    // Text row.
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* ButtonFont = nullptr;
    // Geometry bar.
    ColorSwatch* Shape1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QSpinBox* SpinEdit3 = nullptr;
    QSpinBox* SpinEdit4 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Reactions { Suspended, Active };

    QWidget* buildTopBar();
    QWidget* buildMiddleBand();
    QWidget* buildTextRow();
    QWidget* buildGeometryBar();
    QSpinBox* addGeometryField(QWidget* bar, int& left, const QString& caption, void (TemplatePage::*handler)());
    void connectHandler(auto* sender, auto signal, void (TemplatePage::*handler)());
    void setTabOrder();

    void modelChanged(TemplateChange change, LayerRef layer);
    void showWholeTemplate();
    void clearEditors();
    void showInList(LayerRef layer);
    LayerRef selectedLayer() const;
    QListWidgetItem* itemOf(LayerRef layer) const;
    void loadEditors(LayerRef layer);
    void showGeometry(const LayerBox& box, Reactions reactions);
    void showMemoText(const QString& text);
    void applyField(QSpinBox* field, void (TemplateModel::*apply)(LayerRef, int), const QString& caption,
                    StepKind kind);
    QSize canvasSize() const;

    Dialogs& dialogs_;
    HandlerRunner runHandler_;
    TemplateModel model_;
    TemplateHistory history_{model_};
    QWidget* firstShowWindow_ = nullptr;
    bool fieldsReact_ = true;
};

} // namespace pennolux
