// Photo files and folders brought into the scene bin of the host's project.
#ifndef STILLSET_HOST_PHOTO_IMPORT_H
#define STILLSET_HOST_PHOTO_IMPORT_H

#include <cstddef>
#include <string>
#include <vector>

// The files the paths name: each file itself, each folder's regular files in name order.
std::vector<std::string> photoFilesOf(const std::vector<std::string>& paths);

// Imports each file, and the files of each folder in name order. Files that are not photos are
// skipped and named on standard error; a progress bar runs there when it is a terminal. Returns
// the number of photos imported.
size_t importPhotos(const std::vector<std::string>& paths);

#endif
