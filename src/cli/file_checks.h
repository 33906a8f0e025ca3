#pragma once

#include <string>

#include "model/status.h"

// Checks on the files a command names, made before anything is read or written: a command
// refuses at once what it would otherwise hang on (a FIFO), read without end (/dev/zero) or
// destroy (an input written over with another kind of file).

// Ok when `path` may be read as an input: a regular file, or nothing the check can see (a
// missing file is left to the reader, which reports it in its own words). Refused, naming what
// the file is, for a directory, FIFO, socket or device.
CStatus CheckInputFile(const std::string& path);

// Ok when `output` is not the same file as `input`: compared by device and inode, so a
// symlink or a hard link to the input counts as the input. Refused when it is. An output that
// does not exist yet is never the input.
CStatus CheckOutputIsNotInput(const std::string& output, const std::string& input);
