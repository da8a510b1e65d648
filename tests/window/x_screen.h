// The X screen the window tests run on: what it shows, and a window manager's close request.
#ifndef TESTS_WINDOW_X_SCREEN_H
#define TESTS_WINDOW_X_SCREEN_H

#include "hxhost/gui.h"

#include <string>
#include <sys/types.h>

// The part of the X screen at (x, y), as 0x00RRGGBB pixels; empty when the display cannot be read.
hxhost::Picture grabScreen(int x, int y, int width, int height);
// What a shell command prints on its standard output (xdotool's answers); empty when it cannot run.
std::string shell(const std::string& command);
// Sends the window the close request a window manager sends when its close box is clicked.
bool closeLikeAWindowManager(unsigned long window, std::string& error);

// An X server of the test's own, which the test can end as a display goes away.
class OwnXServer {
public:
    OwnXServer() = default;
    ~OwnXServer() { end(); }
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;
    // Starts the server and waits until it takes clients; false with the reason.
    bool start(std::string& error);
    // ":N", the DISPLAY of the server.
    const std::string& display() const { return display_; }
    // Ends the server, as when a remote connection drops.
    void end();

private:
    pid_t server_ = -1;
    std::string display_;
};

#endif
