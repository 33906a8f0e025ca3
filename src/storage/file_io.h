#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/status.h"

// Saving a file so that a crash, a power cut or a full disk never costs the user the file they
// had, and so that a save treats what it finds at the path as the user left it:
//  - The content goes to a temporary file beside the target, is flushed to disk, and is renamed
//    over the target; the folder is flushed after. The target holds the old or the new content,
//    never part of either.
//  - A symlink (or a chain of them) is followed: the file it points to is written, created if
//    missing, and the link stays a link.
//  - Refused, with the target untouched: a file the user may not write, or whose owner has no
//    write bit (even for root: a read-only file is meant to stay as it is), "Permission denied";
//    a target that is not a regular file (directory, FIFO, socket, device), which is never
//    opened; a file with more than one hard link, which a rename would split.
//  - The new file keeps the old one's permission bits, and its owner and group where the
//    process may set them. The temporary file never has wider bits than the target (0600 for a
//    new file, which gets the ordinary create mode, 0666 less the umask, just before the rename).
//  - The temporary file, ".NAME.quillmark-PID-RANDOM.tmp" in the target's folder, is gone when a
//    save fails; one left by a killed save of the same target is removed by the next save of it.
//    A save holds a lock on its temporary file until it ends: only temporaries whose lock is
//    free count as left behind.
//  - A write beyond the file-size limit fails with "File too large" instead of killing the
//    process (SIGXFSZ is ignored from the first save on).
// No check holds against another process changing the folder during the save.

// Writes `data` to `path` as above. False, with `error` saying what went wrong, when the file
// was not saved; the previous target is then untouched.
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
// writer refuses every later piece. The producer is not called when the target is refused.
bool StreamFileAtomically(const std::string& path, const FileContentProducer& produce,
                          std::string& error);

// The two saves above as a status: NotFound when the target's folder is not there, Io for every
// other failure, the refusals above included.
CStatus WriteFileAtomically(const std::string& path, std::string_view data);
CStatus StreamFileAtomically(const std::string& path, const FileContentProducer& produce);

// "'PATH' is a FIFO, not a regular file" and the like for a file whose stat() mode is `mode`;
// empty when the mode is that of a regular file.
std::string NotRegularFileReason(const std::string& path, unsigned mode);
