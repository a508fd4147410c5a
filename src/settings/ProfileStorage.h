#pragma once

#include <string>

// The file operations under a profile file, one twin per platform:
// ProfileStorage.cpp on POSIX, ProfileStorageWin32.cpp on Windows. Paths are
// UTF-8; symbolic links have been followed by the caller.
namespace ProfileStorage {

enum class LoadResult { Loaded, Missing, Failed };

// Reads the whole file. A missing file is not an error; anything else that
// stops the read is, so a write never replaces a file it could not read.
LoadResult Load(const std::string& path, std::string& contents);

// Replaces path with contents through a temporary file in the same folder
// that then takes its place, so a crash or a full disk never leaves a
// half-written settings file; on POSIX the file keeps its mode. A file that
// exists and may not be written (read-only) is not touched: false. Only when
// the folder refuses a new file is an existing file rewritten in place (not
// crash-safe). Removes the temporary files of writers that were killed
// before their replace (see RemoveAbandonedTemps).
bool Replace(const std::string& path, const std::string& contents);

// A temporary file's name starts with path + ".tmp" and the writer's process
// id, then "." and six characters. The id tells a later write whether the
// writer still runs.
std::string TempPrefix(const std::string& path);
// Removes the temporary files beside path whose writer has ended, so that
// crashes do not fill the settings folder; a running writer's is left alone.
void RemoveAbandonedTemps(const std::string& path);
// This process's id, and whether the process with that id has ended.
long CurrentWriter();
bool WriterHasEnded(long id);

} // namespace ProfileStorage
