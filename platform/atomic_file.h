// Replacing a file the user keeps (the settings store, ~/.xscreensaver)
// without ever leaving it half written.
#pragma once

#include <string>

// Writes `text` to a temporary file beside `path`, flushes it to the disk and
// renames it over `path`, so an interrupted write or a full disk leaves the
// old file whole. A file already there keeps its permissions; a new one gets
// 0644 (less the umask). False, with `error` saying why, when anything
// failed; the temporary file is then gone.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);
