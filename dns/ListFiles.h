#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The two folders of list files inside the filter folder: names from a file in `block` are
// answered like entries of named.txt, names from a file in `allow` relayed like entries of
// pass.txt.
enum class ListSide { kBlock, kAllow };

inline constexpr std::string_view kBlockListFolder = "block";
inline constexpr std::string_view kAllowListFolder = "allow";

struct ListCounts {
    std::size_t blockNames = 0;    // names taken for the block side
    std::size_t allowNames = 0;    // names taken for the allow side
    std::size_t skippedLines = 0;  // lines that gave no name and are no comment or blank
};

// What one list file gave at a load.
struct ListFileCounts {
    std::string path;  // ListFolderPath(filter folder, folder) + "/" + the file's name
    ListSide folder = ListSide::kBlock;
    bool read = false;  // false: the file could not be read, and every count is 0
    ListCounts counts;
};

// Names read from lists, each followed by '\n', for CNameFilter::Assign.
struct ListNames {
    std::string block;
    std::string allow;
};

// The folder of one side's list files: the filter folder, "/", and the name of its entry
// that matches "block" or "allow" without regard to letter case (see FilterFilePath).
std::string ListFolderPath(const std::string& filterFolder, ListSide folder);

// Reads every line of one list file's text, found in `folder`, into `names`.
ListCounts ReadListText(std::string_view text, ListSide folder, ListNames& names);

// Reads every list file of both folders: each regular file directly inside the folder whose
// name does not start with '.', in byte order of the names, `block` first. A file that cannot
// be read, or that does not fit in memory, gives no name and one line on standard error.
std::vector<ListFileCounts> ReadListFiles(const std::string& filterFolder, ListNames& names);

// What a load took from its lists, as the line on standard error says it:
// "84,432 names from 3 lists (1,024 lines skipped)". Only lists that were read count.
std::string ListLoadSummary(const std::vector<ListFileCounts>& files);
