// The user's folders that the program writes into. The program's own folder is only read: it
// may lie under Program Files or on a read-only medium, where a standard user cannot write.
// What the program writes for itself (the conversion log, the intermediate files of RealMedia
// tasks) goes to its data folder under the user's local application data; the converted
// files go to the output folder, by default the user's Videos folder.
#pragma once

#include <string>

// "<local application data>\Varnello\" (the temporary folder's "Varnello\" when the shell names
// no such folder), with a trailing backslash. With bCreate the folder is made when missing.
std::string UserDataFolder(bool bCreate = true);

// The user's Videos folder, or an empty string when the shell knows none.
std::string UserVideosFolder();

// True when pszFolder names a folder, once it and its missing parents have been created
// where needed; false when it cannot be made (no such drive, no right to write, a file of
// that name).
bool EnsureFolderExists(const char* pszFolder);
