// Checked output: every byte the tool writes either arrives, or the tool
// fails with a message naming where it went. Files are replaced in one step
// through a temporary file beside them, so a reader sees the old file or the
// new one, never a part; a symbolic link is followed, so the file it points
// to is replaced and the link stays. Used from one thread.
//
// Temporaries: where the file system allows it the temporary has no name
// while it is written (O_TMPFILE), so a killed process leaves nothing behind;
// it gets a name just before the final rename. That name, and the name of the
// temporary where O_TMPFILE is not available, holds the writer's process id
// and host, so that the next write beside the same file removes temporaries
// whose writer no longer runs.
#ifndef ZEL_TRX_OUTPUT_H
#define ZEL_TRX_OUTPUT_H

#include <ostream>
#include <string>

namespace zel::trxtool {

// The file that writing to `path` changes: `path` with its symbolic links
// followed, to the last one, whose target need not exist yet.
std::string followLinks(const std::string& path);

// Replaces the file `path` (or the file its links lead to) by `contents`, with
// the permissions of the file replaced (and its owner, where allowed), or
// those of a new file. On any failure the file is left as it was, no
// temporary stays, and ToolError names `path` and the cause. A device or a
// pipe is written to instead, every write checked.
void replaceFile(const std::string& path, const std::string& contents);

// Writes `contents` to standard output, after what std::cout holds. Throws
// ToolError naming standard output when not everything was written.
void writeStandardOutput(const std::string& contents);

// Flushes `report` (standard output, or a stream of a test); throws ToolError
// naming standard output when that fails.
void flushReport(std::ostream& report);

// Flushes std::cout and standard output and closes it, so that a write error
// is seen while the tool can still report it. Throws ToolError on failure.
void finishStandardOutput();

// The prefix of the names of temporaries beside `path` (the part before the
// process id), for tests and for the clean-up.
std::string temporaryPrefix(const std::string& path);

}  // namespace zel::trxtool

#endif  // ZEL_TRX_OUTPUT_H
