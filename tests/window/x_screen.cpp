#include "window/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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
