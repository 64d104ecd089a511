// A virtual mouse for the end-to-end test under a wlroots compositor (sway). A headless seat has
// no pointer of its own, so clicks and drags come from a client of zwlr_virtual_pointer_v1.
//
// The device lives as long as this process: one made per click would add and remove the seat's
// pointer every time, and a press that reaches the compositor before the program has bound the
// new pointer is lost to it.
//
// Usage: ui_wl_vpointer WIDTH HEIGHT
//   WIDTH and HEIGHT are the size of the output layout in logical pixels, the unit of the points
//   below. Commands, one a line on standard input, each answered with "ok" once the compositor
//   has handled it, or with "error: ..." for a line it does not understand:
//     move X Y                  moves the pointer there
//     click X Y [BUTTON]        moves there, presses and releases
//     drag X1 Y1 X2 Y2 STEPS [BUTTON]
//                               presses at the first point, moves to the second in STEPS steps
//                               a frame apart, releases
//   BUTTON is left (the default), right or middle. The mouse is gone at the end of the input.

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

template <typename T, void (*Release)(T*)>
struct Releaser {
    void operator()(T* handle) const { Release(handle); }
};
template <typename T, void (*Release)(T*)>
using Handle = std::unique_ptr<T, Releaser<T, Release>>;

// The requests still queued (the destructors above) reach the compositor before the connection
// closes.
void disconnect(wl_display* display) {
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
}

using Display = Handle<wl_display, disconnect>;
using Registry = Handle<wl_registry, wl_registry_destroy>;
using Seat = Handle<wl_seat, wl_seat_destroy>;
using PointerManager =
    Handle<zwlr_virtual_pointer_manager_v1, zwlr_virtual_pointer_manager_v1_destroy>;
using VirtualPointer = Handle<zwlr_virtual_pointer_v1, zwlr_virtual_pointer_v1_destroy>;

struct Globals {
    Seat seat;
    PointerManager manager;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t /*version*/) {
    auto& globals = *static_cast<Globals*>(data);
    const std::string_view offered(interface);
    if (offered == wl_seat_interface.name && !globals.seat) {
        globals.seat.reset(
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1)));
    } else if (offered == zwlr_virtual_pointer_manager_v1_interface.name && !globals.manager) {
        globals.manager.reset(static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1)));
    }
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {
}

constexpr wl_registry_listener kRegistryListener{onGlobal, onGlobalRemove};

struct Point {
    double x = 0;
    double y = 0;
};

std::istream& operator>>(std::istream& in, Point& point) {
    return in >> point.x >> point.y;
}

// The button a command line ends with: left when it names none, nothing when the rest of the
// line is not one button's name.
std::optional<std::uint32_t> buttonAtEnd(std::istream& words) {
    std::string name;
    std::string more;
    words >> name >> more;
    if (!more.empty()) {
        return std::nullopt;
    }
    if (name.empty() || name == "left") {
        return BTN_LEFT;
    }
    if (name == "right") {
        return BTN_RIGHT;
    }
    if (name == "middle") {
        return BTN_MIDDLE;
    }
    return std::nullopt;
}

constexpr std::chrono::milliseconds kBetweenClicks{30};
constexpr std::chrono::milliseconds kFrame{16};

class Mouse {
public:
    Mouse(wl_display* display, VirtualPointer pointer, std::uint32_t width, std::uint32_t height)
        : display_(display), pointer_(std::move(pointer)), width_(width), height_(height) {}

    // Points off the layout are held at its edge: a test that computes one gets a defined
    // place rather than a protocol error.
    void moveTo(Point to) {
        const auto onLayout = [](double value, std::uint32_t size) {
            return static_cast<std::uint32_t>(std::clamp(value, 0.0, size - 1.0) + 0.5);
        };
        zwlr_virtual_pointer_v1_motion_absolute(pointer_.get(), now(), onLayout(to.x, width_),
                                                onLayout(to.y, height_), width_, height_);
        zwlr_virtual_pointer_v1_frame(pointer_.get());
    }

    void click(Point at, std::uint32_t button) {
        moveTo(at);
        settle(kBetweenClicks);
        setButton(button, true);
        settle(kBetweenClicks);
        setButton(button, false);
    }

    // Each move is handled, and given a frame's time, before the next: the program sees a
    // stream of moves as a hand makes them, not one jump.
    void drag(Point from, Point to, int steps, std::uint32_t button) {
        moveTo(from);
        settle(kBetweenClicks);
        setButton(button, true);
        settle(kBetweenClicks);
        for (int i = 1; i <= steps; ++i) {
            moveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
            settle(kFrame);
        }
        settle(kBetweenClicks);
        setButton(button, false);
    }

private:
    void setButton(std::uint32_t button, bool down) {
        zwlr_virtual_pointer_v1_button(
            pointer_.get(), now(), button,
            down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer_.get());
    }

    void settle(std::chrono::milliseconds pause) {
        wl_display_roundtrip(display_);
        std::this_thread::sleep_for(pause);
    }

    static std::uint32_t now() {
        using std::chrono::duration_cast;
        using std::chrono::milliseconds;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    }

    wl_display* display_;
    VirtualPointer pointer_;
    std::uint32_t width_;
    std::uint32_t height_;
};

// False for a line that is not a command.
bool run(Mouse& mouse, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    Point from;
    if (!(words >> command >> from)) {
        return false;
    }
    if (command == "move") {
        std::string more;
        if (words >> more) {
            return false;
        }
        mouse.moveTo(from);
        return true;
    }
    if (command == "click") {
        const auto button = buttonAtEnd(words);
        if (button) {
            mouse.click(from, *button);
        }
        return button.has_value();
    }
    Point to;
    int steps = 0;
    if (command != "drag" || !(words >> to >> steps) || steps < 1) {
        return false;
    }
    const auto button = buttonAtEnd(words);
    if (button) {
        mouse.drag(from, to, steps, *button);
    }
    return button.has_value();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: ui_wl_vpointer WIDTH HEIGHT < commands\n";
        return 2;
    }
    const unsigned long width = std::strtoul(argv[1], nullptr, 10);
    const unsigned long height = std::strtoul(argv[2], nullptr, 10);
    constexpr unsigned long kLargest = std::numeric_limits<std::uint32_t>::max();
    if (width == 0 || height == 0 || width > kLargest || height > kLargest) {
        std::cerr << "ui_wl_vpointer: the layout's size must be two positive numbers\n";
        return 2;
    }

    const Display display(wl_display_connect(nullptr));
    if (!display) {
        std::cerr << "ui_wl_vpointer: cannot connect to the Wayland display\n";
        return 1;
    }
    Globals globals;
    const Registry registry(wl_display_get_registry(display.get()));
    wl_registry_add_listener(registry.get(), &kRegistryListener, &globals);
    wl_display_roundtrip(display.get());
    if (!globals.manager) {
        std::cerr << "ui_wl_vpointer: the compositor offers no zwlr_virtual_pointer_manager_v1\n";
        return 1;
    }
    Mouse mouse(display.get(),
                VirtualPointer(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(
                    globals.manager.get(), globals.seat.get())),
                static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    wl_display_roundtrip(display.get());

    std::string line;
    while (std::getline(std::cin, line)) {
        const bool understood = run(mouse, line);
        if (wl_display_roundtrip(display.get()) < 0) {
            std::cerr << "ui_wl_vpointer: lost the connection to the compositor\n";
            return 1;
        }
        std::cout << (understood ? "ok" : "error: not a command: " + line) << std::endl;
    }
    return 0;
}
