#pragma once
// The controls Qt has no ready-made widget for: the graphical button (face colour, picture and
// caption), the rectangle shape that outlines the lookup panel, the transparent link area, and the
// input box whose locked text cannot be dragged away.

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>

#include "ui/scaled_picture.h"

namespace moshitong {

// A push button whose face is a solid colour with a picture on it and the caption on top. The
// picture keeps its natural size, centred, and is clipped to the button; a high-density screen
// gets the picture drawn for it.
class PictureButton final : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QColor& face, ScaledPicture picture, QWidget* parent);
    QColor faceColour() const { return face_; }
    const ScaledPicture& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor face_;
    ScaledPicture picture_;
};

// A rectangle outline, transparent inside, that neither takes the focus nor sees the mouse.
class OutlineShape final : public QWidget {
    Q_OBJECT
public:
    explicit OutlineShape(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An invisible click area over the background picture. It never takes the focus, and tells
// assistive technology that it is a link.
class LinkArea final : public QLabel {
    Q_OBJECT
public:
    explicit LinkArea(QWidget* parent);
};

// A plain-text box that offers text dragged out of it as a copy only while `locked` holds. A box
// offers a move by default, and a program that takes the move deletes the text from the box.
class InputBox final : public QPlainTextEdit {
    Q_OBJECT
public:
    InputBox(std::function<bool()> locked, QWidget* parent);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::function<bool()> locked_;
};

}  // namespace moshitong
