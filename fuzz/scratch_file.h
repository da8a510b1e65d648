// A private directory for the fuzz targets whose readers take a file, not bytes.
#ifndef FUZZ_SCRATCH_FILE_H
#define FUZZ_SCRATCH_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

// The process's own directory under the system's temporary one, made on first use.
const std::string& scratchDirectory();
// Replaces `name` in the scratch directory with the bytes; its path.
std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size);

#endif
