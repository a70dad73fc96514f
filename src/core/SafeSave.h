#pragma once
// Reading and replacing one small file the way a careful editor does, on POSIX systems.
//
// Paths are the file system's own bytes, taken as given: a relative path stays relative to the
// current directory, so a folder whose name is not valid text in any encoding works too.
// Symbolic links are followed by hand, one at a time, with the rule of the kernel's
// "protected_symlinks": in a folder that is sticky and writable by everyone, a link is not
// followed when it belongs to someone else than the caller and the folder's owner.
//
// Replacing writes the new contents to a file beside the target, flushes it to disk, gives it
// the old file's mode, and its owner and group where the process may change them, and only
// then renames it over the target.  Only a regular file is ever replaced: a device, a pipe or
// a socket is left alone, so a link to /dev/null keeps throwing the contents away.

#include <QByteArray>
#include <QByteArrayView>

namespace zrv
{

enum class ReadOutcome {
    Read,       // the file's bytes are in *bytes
    Missing,    // no regular file there: nothing, a directory, a device, a pipe, a link that
                // goes nowhere, round in circles or is not followed
    Unreadable, // a regular file that cannot be opened or read, or larger than the limit
};

// Reads the regular file `path` leads to, never holding more than `limit` + 1 bytes.
ReadOutcome readRegularFile(QByteArrayView path, qint64 limit, QByteArray* bytes);

enum class SaveOutcome {
    Written,   // `data` is the file's contents now
    LeftAlone, // `path` leads to a device, a pipe or a socket: nothing was opened or changed
};

// Puts `data` in place of the file `path` leads to (created when missing).  A link that goes
// round in circles is itself replaced by a file.  Returns 0, or the errno value of the failure,
// in which case the old file is as it was: EISDIR for a directory, EACCES for a link that is
// not followed or a file the caller may not write, ENOSPC, EROFS...
int replaceFile(QByteArrayView path, QByteArrayView data, SaveOutcome* outcome = nullptr);

} // namespace zrv
