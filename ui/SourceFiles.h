// Which files a person means when choosing several in the Open dialog or dropping files and
// folders on the window: the dialog's answer read into paths, the video filter's extension
// test, and the walk of a dropped folder in path order. Pure code, no windows.h.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace sourcefiles {

// The Open dialog's file types, description and pattern pairs separated by "|": the classic
// kinds first, then every kind of video the encoder reads, then all files (a file of another
// kind is added when its length can be read, that is when the encoder finds a stream in it).
extern const char kVideoFilter[];
// The entry the Open dialog starts with (counted from 1): every kind of video it can take.
constexpr unsigned kAllVideosFilterIndex = 8;

// The full paths in the dialog's answer. With several files chosen the buffer holds the
// folder, then each name, every part ended by a zero and the whole by two zeros; with one
// file it holds its full path. An empty buffer, or one with no ending zero within size
// characters, gives what could be read before its end.
std::vector<std::string> ParseOpenFileNames(const char* buffer, size_t size);

// True when the file name matches one of the filter's patterns ("*.avi", "*rmvb"), without
// regard to ASCII case as the dialog itself matches; "*.*"-style catch-alls match nothing
// here, so a dropped folder gives only its videos.
bool MatchesFilter(const std::string& fileName, const char* filter = kVideoFilter);

// Path order for a folder's files: ASCII case ignored, and "\" before every other character
// so that a folder's own files and sub-folders stay together ("a\z.avi" before "a b.avi").
bool PathLess(const std::string& a, const std::string& b);

struct FolderEntry {
    std::string name; // no directory
    bool isFolder = false;
};
// Lists one folder's entries (without "." and ".."), in any order.
using FolderLister = std::function<std::vector<FolderEntry>(const std::string& folder)>;

// The files in folder and all its sub-folders that match the filter, as full paths sorted by
// PathLess. depthLimit bounds the walk so a folder linked into itself cannot loop forever.
std::vector<std::string> CollectVideoFiles(const std::string& folder, const FolderLister& list,
                                           int depthLimit = 32);

// What a drop adds, in the order dropped: a file as it is, whatever its kind (as a file chosen
// in the dialog under "All files"), and for a folder the videos that CollectVideoFiles finds.
std::vector<std::string> DroppedSources(const std::vector<std::string>& dropped,
                                        const std::function<bool(const std::string&)>& isFolder,
                                        const FolderLister& list);

// The message naming the files whose length could not be read (one name a line, at most
// maxNames of them, then how many more), shown once after the rest are added.
std::string UnreadableFilesMessage(const std::vector<std::string>& fileNames, size_t maxNames = 15);

} // namespace sourcefiles
