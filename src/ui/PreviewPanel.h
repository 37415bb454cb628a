#pragma once

#include <QGroupBox>
#include <QImage>

class QLabel;

namespace pennolux {

// The Simple page's "Preview": the image START would write for one line,
// magnified by the largest whole zoom (up to 8) that fits, nearest-neighbour
// so single pixels stay sharp, with its size under it; or a message in its
// place. Screen readers hear the line and the size as its description.
class PreviewPanel final : public QGroupBox {
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget* parent = nullptr);

    void showImage(const QImage& image, const QString& lineText);
    void showMessage(const QString& message);

    const QImage& image() const { return image_; }
    int zoom() const { return zoom_; }
    QString sizeText() const;
    QString message() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Picture;

    void refresh();

    Picture* picture_ = nullptr;
    QLabel* caption_ = nullptr;
    QImage image_;
    QString lineText_;
    int zoom_ = 1;
};

} // namespace pennolux
