// Choosing the output file of a task: the output folder, the task's name made safe for a
// file name, ".mp4", and a "_2", "_3", ... suffix so that no existing file is overwritten.
// Pure logic: the existence test is passed in, so this file needs no Windows headers.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace outputpath {

// Longest path the program writes into its 260-character buffers (terminator excluded).
constexpr std::size_t kMaxPath = 259;

// Replaces every character that Windows forbids in a file name (\ / : * ? " < > | and
// control characters) by '_', so that a typed title cannot name another folder, an
// alternate data stream or no file at all. Works on whole characters of the program's code
// page: only one-byte characters are replaced, and nothing is cut.
std::string SafeFileName(const std::string& name);

// The output folder with exactly one trailing backslash added when it has none.
std::string WithTrailingBackslash(const std::string& folder);

// Builds folder\name.mp4, or folder\name_k.mp4 with the smallest k >= 2 whose name is free.
// Returns an empty string when the chosen path would be longer than kMaxPath: the caller
// refuses the task instead of writing a cut path.
std::string ChooseOutputPath(const std::string& folder, const std::string& outputName,
                             const std::function<bool(const std::string&)>& exists);

// What an attempt to create a chosen name exclusively gave.
enum class Claim { Created, Taken, Failed };

// ChooseOutputPath, then the name made the run's own by creating it exclusively (claim): a
// name that another program took between the two is passed over for the next free one, so a
// file the run did not make is never replaced. Empty when no name fits, when the folder
// refuses the file, or when every name tried was taken meanwhile.
std::string ReserveOutputPath(const std::string& folder, const std::string& outputName,
                              const std::function<bool(const std::string&)>& exists,
                              const std::function<Claim(const std::string&)>& claim);

} // namespace outputpath
