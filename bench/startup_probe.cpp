// Starts a program on the current X display and reports, in milliseconds, how long it took until
// its 356 x 236 window was mapped, then the program's resident memory. The program keeps running;
// its process id is printed so the caller can drive it and stop it.
//
// Usage: startup_probe PROGRAM
// Output (one line): pid=N mapped_ms=T rss_kb=R

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

bool isMainWindow(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.width == 356 &&
           attributes.height == 236;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_probe PROGRAM\n");
        return 2;
    }
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display.get());
    XSelectInput(display.get(), root, SubstructureNotifyMask);
    XSync(display.get(), False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display.get(), &event);
        if (event.type == MapNotify && isMainWindow(display.get(), event.xmap.window)) {
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "startup_probe: the program ended before showing its window\n");
            return 1;
        }
    }
    const auto mapped = std::chrono::steady_clock::now();
    // Give the first paint a moment before reading memory: the figure should include it.
    usleep(300 * 1000);
    std::printf("pid=%d mapped_ms=%.1f rss_kb=%ld\n", pid,
                std::chrono::duration<double, std::milli>(mapped - start).count(), residentKb(pid));
    return 0;
}
