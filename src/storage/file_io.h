#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes `data` to `path` through a temporary file in the same folder that is renamed over the
// target only once every byte is written and the file is closed. On failure the previous
// target is untouched, the temporary file is gone, and `error` says what went wrong.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error);

// Takes the next piece of a file's content; false when it could not be written.
using FileChunkWriter = std::function<bool(std::string_view chunk)>;
// Produces a file's content through the writer it is given, in as many pieces as it likes;
// false to give up.
using FileContentProducer = std::function<bool(const FileChunkWriter& write)>;

// WriteFileAtomically for content that is made piece by piece: each piece goes straight to the
// temporary file, so memory does not grow with the file. Same guarantees: the target is
// replaced only when the producer finished and every write and the close succeeded; otherwise
// it is untouched, the temporary file is gone and `error` says why. Once a write has failed the
// writer refuses every later piece.
bool StreamFileAtomically(const std::string& path, const FileContentProducer& produce,
                          std::string& error);
