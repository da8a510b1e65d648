// Photo files and folders brought into the scene bin of the host's project.
#ifndef STILLSET_HOST_PHOTO_IMPORT_H
#define STILLSET_HOST_PHOTO_IMPORT_H

#include <cstddef>
#include <string>
#include <vector>

// Imports each file, and the files of each folder in name order, a subfolder's where its name puts
// it unless `recurse` is false. Files that are not photos, and folders and entries left out, are
// skipped and named on standard error; a progress bar runs there when it is a terminal. Returns
// the number of photos imported.
size_t importPhotos(const std::vector<std::string>& paths, bool recurse);

#endif
