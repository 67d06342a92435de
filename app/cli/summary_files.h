// telo-cli's own files: for the office summary the entries of a folder, a
// small file read whole and an output file written whole; for the run's
// result file one replaced at once. Paths and names are UTF-8. CMake
// builds one of summary_files_posix.cpp (std::filesystem and iostreams) and
// summary_files_windows.cpp (the Win32 file calls: on MinGW std::filesystem
// and the file streams would each bring about 900 KB of the locale library
// into telo-cli.exe, and a dozen imports).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace telo {

struct FolderEntry {
  std::string name;  // without the folder
  bool is_folder = false;
};

// Every entry directly in `folder`, "." and ".." left out, in no order.
Status ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);

// The file `name` in `folder`, or its first `limit` bytes and a little more
// when it is larger: text->size() > `limit` tells the caller so.
Status ReadFileStart(const std::string& folder, const std::string& name, std::size_t limit,
                     std::string* text);

// Writes `text` to the file at `path`, replacing it.
Status WriteWholeFile(const std::string& path, std::string_view text);

// Writes `text` to `path` so that a reader finds either the file that was
// there or the whole new one, never a part: first to `path` + ".tmp-<process
// id>" in the same folder, flushed to the disk, then renamed over `path`.
// Windows paths may be UNC (\\server\share\...), up to MAX_PATH. The new file
// has the folder's default permissions, not those of the file it replaces.
// On failure the temporary file is gone again and the message names the
// path, the step that failed and the system's reason.
Status WriteFileAtomically(const std::string& path_utf8, std::string_view text);

}  // namespace telo
