// Form1's frame, pictures and controls, as the window was designed in twips.

#include <QButtonGroup>
#include <QFrame>
#include <QIcon>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include "lookup/handlers.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/platform.h"
#include "ui/twips.h"
#include "ui/widget_window.h"

namespace moshitong {

namespace {

const QColor kCommand4Face(192, 255, 192);

// Light colours of paper and ink whatever the desktop's theme, so the box stays readable over
// the dark stone of the background picture even on a dark desktop.
QPalette paperPalette(QPalette palette) {
    const QColor paper(0xf3, 0xee, 0xe2);
    const QColor ink(0x1c, 0x1f, 0x21);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, paper);
        palette.setColor(group, QPalette::WindowText, ink);
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::AlternateBase, paper);
        palette.setColor(group, QPalette::Text, ink);
        palette.setColor(group, QPalette::Button, QColor(0xe9, 0xe3, 0xd4));
        palette.setColor(group, QPalette::ButtonText, ink);
        palette.setColor(group, QPalette::Highlight, QColor(0x3c, 0x5a, 0x4f));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    return palette;
}

template <typename Widget>
Widget* place(Widget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

Form1::Form1(Platform& platform, std::filesystem::path dictionary)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      dictionary_(std::move(dictionary)),
      background_(QStringLiteral(":/moshitong/background.png")) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf16(kProgramTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(readPicture(QStringLiteral(":/moshitong/icon.png")))));
    setFixedSize(twipsToPixels(5340), twipsToPixels(3540));
    setPalette(paperPalette(palette()));
    // Controls without a font of their own take the window's: the Song face at 9 points.
    setFont(songFont(9));
    buildControls();
    setAccessibleNames();
    window_ = std::make_unique<WidgetWindow>(
        WindowControls{this, Text1, Frame1, Option1, Option2, Command4}, platform_);
    readAheadTimer_ = new QTimer(this);
    readAheadTimer_->setObjectName(QStringLiteral("ReadAhead"));
    readAheadTimer_->setInterval(0);
    wireEvents();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    // Created in tab order; a later sibling lies above an earlier one, which puts the panel
    // Frame1 above the part of Text1 it covers.
    Text1 = place(new InputBox([this] { return !Text1TakesText(state_, *window_); }, this), "Text1",
                  twipsRect(480, 430, 4575, 2430));
    Text1->setFont(songFont(10.5));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Text1->setTabChangesFocus(true);

    Command4 =
        place(new PictureButton(kCommand4Face,
                                ScaledPicture(QStringLiteral(":/moshitong/button.png")), this),
              "Command4", twipsRect(3840, 3000, 1215, 375));
    Command4->setText(QString::fromUtf16(u"翻 译"));
    Command4->setFont(songFont(12));

    Frame1 = place(new QFrame(this), "Frame1", twipsRect(3360, 720, 1335, 2055));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setAutoFillBackground(true);
    Frame1->hide();

    // The outline is drawn first so that it lies under the panel's buttons.
    Shape1 = place(new OutlineShape(Frame1), "Shape1", twipsRect(0, 0, 1335, 2055));
    Command2 = place(new QPushButton(QString::fromUtf16(u"专业查询"), Frame1), "Command2",
                     twipsRect(120, 1080, 1095, 375));
    Command3 = place(new QPushButton(QString::fromUtf16(u"简明查询"), Frame1), "Command3",
                     twipsRect(120, 1560, 1095, 375));
    Option1 = place(new QRadioButton(QString::fromUtf16(u"精确查询"), Frame1), "Option1",
                    twipsRect(120, 240, 1095, 255));
    Option2 = place(new QRadioButton(QString::fromUtf16(u"模糊查询"), Frame1), "Option2",
                    twipsRect(120, 600, 1095, 255));
    Options = new QButtonGroup(Frame1);
    Options->setExclusive(true);
    Options->addButton(Option1);
    Options->addButton(Option2);
    Option1->setChecked(true);

    Label2 = place(new LinkArea(this), "Label2", twipsRect(240, 3000, 2775, 375));

    setTabOrder(Text1, Command4);
    setTabOrder(Command4, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Option1);
    setTabOrder(Option1, Option2);
}

void Form1::setAccessibleNames() {
    setAccessibleName(QString::fromUtf16(kProgramTitle));
    Text1->setAccessibleName(QString::fromUtf16(u"查询与释义"));
    Text1->setAccessibleDescription(
        QString::fromUtf16(u"输入英文或中文单词，按“翻 译”后选择查询方式；结果也显示在这里。"));
    Command4->setAccessibleName(Command4->text());
    Frame1->setAccessibleName(QString::fromUtf16(u"查询方式"));
    Shape1->setAccessibleName(QString::fromUtf16(u"查询方式边框"));
    Command2->setAccessibleName(Command2->text());
    Command3->setAccessibleName(Command3->text());
    Option1->setAccessibleName(Option1->text());
    Option2->setAccessibleName(Option2->text());
    Label2->setAccessibleName(QString::fromUtf16(u"墨石通官方网站"));
}

void Form1::paintEvent(QPaintEvent*) {
    // At its natural size from the top-left corner; the window clips what lies beyond. Chosen
    // at every paint, so a window moved to a screen of another density repaints with its own.
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), background_.forRatio(devicePixelRatioF()));
}

}  // namespace moshitong
