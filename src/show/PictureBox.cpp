#include "show/PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    dropScaled();
    update();
}

void PictureBox::setStretch(bool stretch) {
    if (stretch_ != stretch) {
        stretch_ = stretch;
        dropScaled();
        update();
    }
}

void PictureBox::dropScaled() {
    scaled_ = QImage();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    dropScaled();
    QWidget::resizeEvent(event);
}

const QImage& PictureBox::shownImage() {
    if (!stretch_ || picture_.isNull() || picture_.size() == size()) {
        return picture_;
    }
    if (scaled_.isNull() && !size().isEmpty()) {
        scaled_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ++scaleCount_;
    }
    return scaled_;
}

void PictureBox::paintEvent(QPaintEvent*) {
    const QImage& image = shownImage();
    if (image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image);
}
