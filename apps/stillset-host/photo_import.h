// Photo files and folders brought into the scene bin of the host's project.
#ifndef STILLSET_HOST_PHOTO_IMPORT_H
#define STILLSET_HOST_PHOTO_IMPORT_H

#include <cstddef>
#include <string>
#include <vector>

// The files the paths name: each file itself, each folder's regular files in name order, a
// subfolder's where its name puts them unless `recurse` is false. What is left out is named on
// standard error.
std::vector<std::string> photoFilesOf(const std::vector<std::string>& paths, bool recurse);

// Imports the files (as photoFilesOf lists them). Files that are not photos are skipped and named
// on standard error; a progress bar runs there when it is a terminal. Returns the number of photos
// imported.
size_t importPhotoFiles(const std::vector<std::string>& files);

#endif
