#include "ui/controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <utility>

namespace moshitong {

namespace {

constexpr qreal kCornerRadius = 3.0;

QAccessibleInterface* linkAreaAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(LinkArea::staticMetaObject.className()) &&
        object->isWidgetType()) {
        // Qt's accessibility cache takes the interface and deletes it with the widget.
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Link);
    }
    return nullptr;
}

void installLinkAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(linkAreaAccessible);
        return true;
    }();
}

}  // namespace

PictureButton::PictureButton(const QColor& face, ScaledPicture picture, QWidget* parent)
    : QPushButton(parent), face_(face), picture_(std::move(picture)) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, face_);
    setPalette(palette);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF edge = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath face;
    face.addRoundedRect(edge, kCornerRadius, kCornerRadius);

    painter.save();
    painter.setClipPath(face);
    painter.fillRect(rect(), face_);
    // A pressed button sinks by a pixel: picture and caption move with it.
    const QPoint sink = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    QRect pictureRect(QPoint(0, 0), picture_.size());
    pictureRect.moveCenter(rect().center());
    painter.drawPixmap(pictureRect.translated(sink), picture_.forRatio(devicePixelRatioF()));
    if (isDown()) {
        painter.fillRect(rect(), QColor(0, 40, 10, 40));
    } else if (underMouse()) {
        painter.fillRect(rect(), QColor(255, 255, 255, 40));
    }
    painter.restore();

    painter.setPen(QPen(face_.darker(isDown() ? 260 : 220), 1.0));
    painter.drawPath(face);

    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(font());
    painter.drawText(rect().translated(sink), Qt::AlignCenter, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        option.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

OutlineShape::OutlineShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void OutlineShape::paintEvent(QPaintEvent*) {
    // Laid out on device pixels: at 150 % a one-pixel pen is a pixel and a half wide and lands
    // on one pixel on some sides and two on others. The line takes the outermost device pixels
    // that the panel's background fill covers (Qt rounds a filled rectangle's edges to the
    // nearest pixel edge), a whole number of them on every side.
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    const QRectF area = toDevice.mapRect(QRectF(rect()));
    const int left = qRound(area.left());
    const int top = qRound(area.top());
    const int right = qRound(area.right());
    const int bottom = qRound(area.bottom());
    const int line = std::max(1, qRound(devicePixelRatioF()));
    const QTransform fromDevice = toDevice.inverted();
    const QColor ink = palette().color(QPalette::WindowText);
    for (const QRect& side :
         {QRect(left, top, right - left, line), QRect(left, bottom - line, right - left, line),
          QRect(left, top, line, bottom - top), QRect(right - line, top, line, bottom - top)}) {
        painter.fillRect(fromDevice.mapRect(QRectF(side)), ink);
    }
}

LinkArea::LinkArea(QWidget* parent) : QLabel(parent) {
    installLinkAccessibility();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

InputBox::InputBox(std::function<bool()> locked, QWidget* parent)
    : QPlainTextEdit(parent), locked_(std::move(locked)) {
}

void InputBox::mouseMoveEvent(QMouseEvent* event) {
    if (!locked_()) {
        QPlainTextEdit::mouseMoveEvent(event);
        return;
    }
    // A drag starts, and runs to its end, inside this call. For that span the box is not
    // editable, and Qt offers the text of a box that is not editable as a copy only.
    const Qt::TextInteractionFlags flags = textInteractionFlags();
    setTextInteractionFlags(flags & ~Qt::TextEditable);
    QPlainTextEdit::mouseMoveEvent(event);
    setTextInteractionFlags(flags);
}

}  // namespace moshitong
