#pragma once

#include <QImage>
#include <QWidget>

// A picture box that shows a decoded picture without copying it: the image
// is shared with the slide table. Stretched, it scales once when the picture
// or its size changes, never on every paint.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    void clear() { setPicture(QImage()); }

    // true: the picture fills the box; false: natural size at the top left.
    void setStretch(bool stretch);
    bool stretch() const { return stretch_; }

    // How many times the picture was scaled (the scaling cache at work).
    int scaleCount() const { return scaleCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void dropScaled();
    const QImage& shownImage();

    QImage picture_;
    QImage scaled_;
    bool stretch_ = false;
    int scaleCount_ = 0;
};
