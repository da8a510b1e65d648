// Where the parts of an installation lie, found from libhx's own place so that a moved or
// installed build finds them: <prefix>/lib/libhx.so, <prefix>/share/stillset/ for the resources.
#ifndef HX_INSTALL_PATHS_H
#define HX_INSTALL_PATHS_H

#include <string>

namespace hx {

// The directory libhx was loaded from; empty when it cannot be told.
std::string libraryDirectory();
// The resource root: the one set through the control API, else <prefix>/share/stillset.
std::string resourceRoot();

} // namespace hx

#endif
