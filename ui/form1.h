#pragma once
// 墨石通's one window, Form1, and where the three modules meet:
//   ui/      (here) owns the widgets. wireEvents() turns every Qt signal and event the program
//            answers into one classic handler (Command4_Click, Text1_KeyPress, Form_MouseDown,
//            ...). The handlers read the widgets, call lookup or core, and write the widgets.
//   lookup/  holds the click handlers of the lookup cycle and the input box's lock, Text1_KeyDown,
//            Text1_KeyPress and Text1_DblClick (lookup/handlers.h). They see this window only as
//            core's WindowModel, which WidgetWindow implements over the widgets, and return what
//            the window must do (discard a key, end the program).
//   core/    holds the store (Conn, Rs), opened by Form_Load, and the shared LookupState.
// The window's own behaviour (Esc, drag, minimise, the link) lives in the Form_ and Label2_
// handlers here; nothing in lookup or core knows about Qt.

#include <QWidget>

#include <filesystem>
#include <memory>

#include "core/state.h"
#include "core/store.h"
#include "ui/scaled_picture.h"

class QButtonGroup;
class QFrame;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace moshitong {

class LinkArea;
class OutlineShape;
class PictureButton;
class Platform;
class WidgetWindow;

// The exit status when the store could not be opened at start-up.
inline constexpr int kExitStoreUnavailable = 1;

// The product page the link area offers to open.
inline constexpr char16_t kProductHost[] = u"moshitong.example";
inline constexpr char16_t kProductPagePath[] = u"/lexi.htm";

class Form1 final : public QWidget {
    Q_OBJECT
public:
    // `dictionary` is the store Form_Load opens; the program always uses the default one.
    explicit Form1(Platform& platform, std::filesystem::path dictionary = defaultDictionaryPath());
    ~Form1() override;

    // Raises the window's Load event. False when the store could not be opened: the failure has
    // been reported (box and standard error) and the window must never be shown.
    bool load();

protected:
    // Every event the window answers enters here; no exception leaves.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Mouse state of the drag by the background, in twips.
    struct DragState {
        int Dragging = 0;
        double DragX = 0;
        double DragY = 0;
        double NewLeft = 0;
        double NewTop = 0;
    };

    void buildControls();
    void setAccessibleNames();
    void wireEvents();

    bool filterEvent(QObject* watched, QEvent* event);
    bool filterKeyPress(QObject* watched, QKeyEvent* event);
    bool filterText1InputMethod(const QInputMethodEvent& event);
    bool filterFormEvent(QEvent* event);
    bool filterText1ViewportEvent(QEvent* event);
    bool filterLabel2Event(QEvent* event);
    bool raiseKeyPress(int KeyAscii, bool inText1);
    void raiseMouseEvent(QMouseEvent* event);

    void Form_Load();
    void Form_Activate();
    void Form_DblClick();
    void Form_KeyPress(int& KeyAscii);
    void Form_MouseDown(int Button, int Shift, double X, double Y);
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void Form_MouseUp(int Button, int Shift, double X, double Y);
    void Form_Unload(int& Cancel);
    void Label2_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void readAhead();

    Platform& platform_;
    const std::filesystem::path dictionary_;
    const ScaledPicture background_;

    // The controls, under the names the handlers know them by.
    QPlainTextEdit* Text1 = nullptr;
    PictureButton* Command4 = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    LinkArea* Label2 = nullptr;
    OutlineShape* Shape1 = nullptr;
    QButtonGroup* Options = nullptr;
    // Reads the store's column images in idle time, a step at each turn of the event loop.
    QTimer* readAheadTimer_ = nullptr;

    std::unique_ptr<WidgetWindow> window_;
    LookupState state_;
    Connection Conn;
    std::unique_ptr<Recordset> Rs;
    DragState drag_;
    bool keyPreview_ = false;
    bool label2Pressed_ = false;
    bool readAheadStarted_ = false;
};

}  // namespace moshitong
