// The X screen the window tests run on: what it shows, and a window manager's close request.
#ifndef TESTS_WINDOW_X_SCREEN_H
#define TESTS_WINDOW_X_SCREEN_H

#include "hxhost/gui.h"

#include <string>

// The part of the X screen at (x, y), as 0x00RRGGBB pixels; empty when the display cannot be read.
hxhost::Picture grabScreen(int x, int y, int width, int height);
// Sends the window the close request a window manager sends when its close box is clicked.
bool closeLikeAWindowManager(unsigned long window, std::string& error);

#endif
