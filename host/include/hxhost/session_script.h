// Session scripts: what a scripted user does, one action or answer a line, read from a text file.
//
//   # a comment; blank lines are skipped
//   press "Close"                     a button, image button or click area; a check box toggles
//   press help:79                     ... the gadget whose help text is string 79
//   press key:0xE002                  ... the gadget whose shortcut key is 0xE002
//   choose "Duration" 3               popup entry 3 (entries and positions count from 0)
//   slide "Brightness" 120            slider to 120 (the knob stops at the ends)
//   drag "Brightness" to 150          drag the slider's knob to 150: the values on the way are posted too
//   check "Delete the existing scenes first" on     check box on or off
//   toggle checkbox:1
//   set "Direction" "Right to left"   a setting, whatever gadget shows it: a popup entry by its text
//   set "Softness" 40                 or number, a slider's value, a check box on or off (the
//   set "Smooth start and end" on     settings panel of a transition labels each setting)
//   select grid 4                     grid item or list row 4, as a click
//   double-click list 2
//   step grid +1                      move the selection with a cursor key
//   drag grid 5 to 2                  drag item 5 and drop it on position 2 (0 .. count)
//   drag grid 0 onto help:79          drag item 0 and drop it on a gadget
//   key p | key 0x40000065            press a shortcut key (a character or a key code)
//   close                             close the topmost window (a requester's close is its Cancel)
//   close in main                     close the main window
//   quit                              the host asks the program to quit
//   screenshot shots/main.png [in "Title" | in main]    the screen, or one window, as PNG
//
// Answers wait in a queue of their kind; each requester takes the next one, or its default:
//   answer yes | no                   the next notice or question (default: no)
//   stop-meter 3                      stop the next progress meter when it reaches step 3
//   crop 12 6 100 50 | crop keep | crop cancel          the crop requester (default: cancel)
//   answer yes screenshot shots/q.png | crop keep screenshot shots/crop.png
//                                     ... first save the screen with the requester on it, as PNG
//   pick-scenes all | none | 3 5 "Beach"                scene bin items by number or name
//   pick-operators crossfade "wipe left" | none         transitions by name
//   pick-file /music/song.mp3 ["Display name"] [orientation 1] | pick-file cancel
//
// Gadgets: "text" (a button's text, a label or a help text), help:N, key:K, #ID (the identity),
// ok, cancel (the gadgets the host adds to requesters), or a kind with an optional index
// (button, image-button, checkbox, popup, slider, list, grid, click-area; "grid" is "grid:0").
// Any gadget may be followed by  in "Window title"  or  in main;  without it the windows are searched
// from the topmost down. Texts are UTF-8 in double quotes; \" and \\ stand for " and \.
// Relative screenshot paths are taken from the current directory.
#ifndef HXHOST_SESSION_SCRIPT_H
#define HXHOST_SESSION_SCRIPT_H

#include "hxhost/api.h"
#include "hxhost/user.h"

#include <string>

namespace hxhost {

// Adds every line of the script to the user. On a malformed line nothing is added and `error` says
// "<name>:<line>: <what is wrong>".
HXHOST_API bool parseSessionScript(const std::string& text, const std::string& name, ScriptedUser& user,
                                   std::string* error = nullptr);
HXHOST_API bool loadSessionScript(const std::string& path, ScriptedUser& user, std::string* error = nullptr);

} // namespace hxhost

#endif
