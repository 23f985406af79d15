// Where the task list is kept between runs of the program, and the file operations that keep
// it whole: the list is written to a new file that then replaces the old one in one step, so
// a crash leaves either the old list or the new one, never a mixture.
#pragma once

#include <string>

namespace tasklistfile {

// "<local application data>\Varnello\tasks.lst", beside log.txt (the folder is made when
// missing).
std::string SavedListPath();

// Writes text to path.new, flushes it and moves it over path. false on any failure, the old
// file then being left as it was.
bool ReplaceFileContents(const std::string& path, const std::string& text);

// The whole file, if it exists and is no larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::string& text, size_t maxBytes = 64u * 1024 * 1024);

} // namespace tasklistfile
