#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// Saving a file so that a failure never costs the user the file that was
// there before: the content goes to a new temporary file in the target's
// folder, which is flushed, synced to the disk and closed, and only then
// renamed over the target in one step.
//
// May be called from any thread, also from several at once.

// Receives a file open for binary writing and writes the whole content;
// returns false when it could not.
using FileWriter = std::function<bool(std::FILE* file)>;

// Writes `path` through `write`. True when the new content is complete in
// place. False when anything failed: the writer refused, a write, flush,
// sync or close failed (a full disk, a file size limit), or the rename
// failed. On false the previous file at `path` (if any) is unchanged and no
// temporary file is left behind. A symbolic link at `path` is followed: its
// target is replaced, the link stays. An existing file keeps its permission
// bits; a new one gets 0666 less the umask.
//
// Targets that must not be replaced: a device or a FIFO is written directly
// (never replaced by a plain file; a FIFO without a reader is refused rather
// than waited for); an existing file without write permission (or without
// any write bit, which also stops root) is refused and left alone; a folder
// is refused. When the folder cannot hold a temporary file but the existing
// file is writable, the file is rewritten in place: its old bytes are kept
// in memory and written back when the new ones fail. That is best effort
// only: another writer may take the space the truncation freed.
bool SaveFileSafely(const std::string& path, const FileWriter& write);

// SaveFileSafely writing exactly `bytes`.
bool SaveBytesSafely(const std::string& path, std::string_view bytes);
