// Visibility of the host's own API in libhx.
#ifndef HXHOST_API_H
#define HXHOST_API_H

#define HXHOST_API __attribute__((visibility("default")))

#endif
