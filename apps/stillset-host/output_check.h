// An output never takes the place of an input: `a.png -o a.png`, a link to the music, or a photo
// named like the video would each be destroyed by the rename that finishes the output.
#ifndef STILLSET_HOST_OUTPUT_CHECK_H
#define STILLSET_HOST_OUTPUT_CHECK_H

#include <string>
#include <vector>

// False with a one-line error when one of `outputs` is the same file as one of `inputs` (by device
// and inode, whatever the names), or exists and is not a regular file (the null sink /dev/null
// excepted). Inputs that do not exist are no matter.
bool outputsSpareInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs,
                        std::string& error);

// Whether the name is one a video can be written to: a file type the host writes, or the null sink.
bool isVideoOutputName(const std::string& output);

// The files a video output makes: itself, and for Y4M the WAV of its sound beside it.
std::vector<std::string> videoOutputFiles(const std::string& output);

#endif
