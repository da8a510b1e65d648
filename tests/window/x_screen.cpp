#include "window/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

hxhost::Picture grabScreen(int x, int y, int width, int height)
{
    hxhost::Picture picture;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return picture;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image) {
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(static_cast<size_t>(width) * height);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                picture.pixels[static_cast<size_t>(row) * width + column] =
                    static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFF;
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return picture;
}

bool closeLikeAWindowManager(unsigned long window, std::string& error)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display";
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XCloseDisplay(display);
    if (!sent)
        error = "the close request could not be sent";
    return sent;
}

bool OwnXServer::start(std::string& error)
{
    int ready[2];
    if (pipe(ready) != 0) {
        error = "no pipe for the X server";
        return false;
    }
    // The server writes its display number to the pipe once it takes clients. It never resets: a
    // reset when the last client leaves refuses the clients that come meanwhile.
    const std::string fd = std::to_string(ready[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2048x1280x24", "-nolisten", "tcp",
                          "-noreset", nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addclose(&files, ready[0]);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&server_, "Xvfb", &files, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&files);
    close(ready[1]);
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    while (spawned == 0 && poll(&wait, 1, 30000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (spawned != 0 || number.empty()) {
        error = "the X server did not start";
        end();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void OwnXServer::end()
{
    if (server_ <= 0)
        return;
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
    server_ = -1;
}

std::string shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}
