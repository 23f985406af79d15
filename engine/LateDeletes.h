// Files that could not be deleted at once because another process still held them open (an
// encoder or the video control just told to quit): each is tried again now and then for a
// while, so that nobody waits for it. Pure logic: the delete and the clock are passed in.
#pragma once

#include <functional>
#include <string>
#include <vector>

class LateDeletes {
public:
    // How long a file is tried for; a file still held after that is left to the clean-up at
    // the next start.
    static constexpr unsigned long kGiveUpAfterMs = 10000;

    // A file already waiting keeps its first time.
    void Add(const std::string& path, unsigned long nowMs);
    // Tries every waiting file; remove returns true when the file is gone.
    void RetryDue(unsigned long nowMs, const std::function<bool(const std::string&)>& remove);
    bool Empty() const { return m_files.empty(); }
    bool Holds(const std::string& path) const;

private:
    struct Waiting {
        std::string path;
        unsigned long sinceMs;
    };
    std::vector<Waiting> m_files;
};
