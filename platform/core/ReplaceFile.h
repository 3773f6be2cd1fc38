// Writing a file at a path the user named (a picture, a text) without ever harming what is
// there. The bytes go to a new temporary beside the target, are flushed to disk and renamed over
// the target only when all of them are written; until then the old file is untouched, and on any
// failure it stays as it was and the temporary goes. A target that exists and is not a regular
// file (a FIFO, a device node, a folder, a socket) is refused without being opened, so nothing
// waits for a FIFO's reader and no device is replaced by a file. A symbolic link to a regular
// file keeps its place: the file it names is the one replaced.
#pragma once

#include <functional>
#include <string>

namespace recfs {

enum class ReplaceResult {
    Written,
    NotRegularFile,  // the target is a FIFO, device, folder or socket: refused, never opened
    NotWritable,     // the target may not be written (no permission), or its folder is missing
    WriteFailed,     // creating, writing or flushing the new file failed (e.g. the disk is full)
};

// Replaces `path` by a file holding `bytes`, as described above. `hook`, when set, is called
// with a step name before the data is written and before the rename (a test seam).
ReplaceResult replaceFile(const std::string& path, const std::string& bytes,
                          const std::function<void(const char*)>& hook = {});

// The reason in the program's words, for a message box: empty for Written.
std::string replaceFailureText(ReplaceResult result, const std::string& path);

}  // namespace recfs
