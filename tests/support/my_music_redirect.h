// Points the user's "My Music" shell folder of the test Wine prefix at a folder of the test's
// own while it lives, and puts the old value back afterwards.
#pragma once
#include "tests/support/shell_folder_redirect.h"

namespace testpaths {

class MyMusicRedirect : public ShellFolderRedirect {
public:
    explicit MyMusicRedirect(const std::string& folder) : ShellFolderRedirect("My Music", folder) {}
};

} // namespace testpaths
