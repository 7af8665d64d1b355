#include "dns/ListFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "base/UniqueFd.h"
#include "dns/FilterFile.h"
#include "dns/ListLine.h"

namespace {

constexpr std::size_t kPieceBytes = 1 << 20;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The names of the regular files directly inside `folder` that do not start with '.', in
// byte order; none when the folder cannot be opened.
std::vector<std::string> ListFileNames(const std::string& folder) {
    std::vector<std::string> files;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return files;
    }
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string name(item->d_name);
        struct stat info {};
        if (name.front() != '.' && ::stat((folder + "/" + name).c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Add(ListCounts& total, const ListCounts& more) {
    total.blockNames += more.blockNames;
    total.allowNames += more.allowNames;
    total.skippedLines += more.skippedLines;
}

// Reads the list at `path` a piece at a time, whole lines each, so that even a long list
// never needs room for all of its text at once. False when it cannot be read to the end.
bool ReadListPieces(const std::string& path, ListSide folder, ListNames& names,
                    ListCounts& counts) {
    // Without blocking: a named pipe must not hold the program up at the open.
    const CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    // Names are never longer than their lines: one allocation for the whole file.
    std::string& sideNames = folder == ListSide::kBlock ? names.block : names.allow;
    sideNames.reserve(sideNames.size() + static_cast<std::size_t>(info.st_size));
    std::string piece(kPieceBytes, '\0');
    std::size_t kept = 0;  // the start of a line that the previous read ended inside
    for (;;) {
        if (kept == piece.size()) {
            piece.resize(piece.size() * 2);  // a line longer than the piece
        }
        const ssize_t n = ::read(file.Get(), piece.data() + kept, piece.size() - kept);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        const std::size_t filled = kept + static_cast<std::size_t>(n);
        const std::string_view text(piece.data(), filled);
        const std::size_t lines = n == 0 ? filled : text.rfind('\n') + 1;
        Add(counts, ReadListText(text.substr(0, lines), folder, names));
        if (n == 0) {
            return true;
        }
        kept = filled - lines;
        std::memmove(piece.data(), piece.data() + lines, kept);
    }
}

ListFileCounts ReadListFile(std::string path, ListSide folder, ListNames& names) {
    ListFileCounts file{std::move(path), folder, false, {}};
    const std::size_t blockBefore = names.block.size();
    const std::size_t allowBefore = names.allow.size();
    bool tooLarge = false;
    try {
        file.read = ReadListPieces(file.path, folder, names, file.counts);
    } catch (const std::exception&) {
        tooLarge = true;  // out of memory
    }
    if (!file.read) {
        // The list gives nothing; the lists read before it stay.
        names.block.resize(blockBefore);
        names.allow.resize(allowBefore);
        file.counts = {};
        std::fprintf(
            stderr,
            tooLarge ? "Nimbrel: %s is too large to load\n" : "Nimbrel: cannot read the list %s\n",
            file.path.c_str());
    }
    return file;
}

}  // namespace

std::string ListFolderPath(const std::string& filterFolder, ListSide folder) {
    return FilterFilePath(filterFolder,
                          folder == ListSide::kBlock ? kBlockListFolder : kAllowListFolder);
}

ListCounts ReadListText(std::string_view text, ListSide folder, ListNames& names) {
    ListCounts counts;
    std::string& sideNames = folder == ListSide::kBlock ? names.block : names.allow;
    std::size_t& sideCount = folder == ListSide::kBlock ? counts.blockNames : counts.allowNames;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::size_t before = sideNames.size();
        const ListLine line = ReadListLine(text.substr(0, end), sideNames);
        text.remove_prefix(std::min(end + 1, text.size()));
        switch (line.kind) {
            case ListLineKind::kNothing:
                break;
            case ListLineKind::kNames:
                sideCount += line.names;
                break;
            case ListLineKind::kExceptions:
                if (folder == ListSide::kBlock) {
                    names.allow.append(sideNames, before);
                    sideNames.resize(before);
                }
                counts.allowNames += line.names;
                break;
            case ListLineKind::kSkipped:
                ++counts.skippedLines;
                break;
        }
    }
    return counts;
}

std::vector<ListFileCounts> ReadListFiles(const std::string& filterFolder, ListNames& names) {
    std::vector<ListFileCounts> files;
    for (const ListSide folder : {ListSide::kBlock, ListSide::kAllow}) {
        const std::string path = ListFolderPath(filterFolder, folder);
        for (const std::string& name : ListFileNames(path)) {
            files.push_back(ReadListFile(path + "/" + name, folder, names));
        }
    }
    return files;
}

namespace {

// A count with its thousands separated by commas, and the word, plural unless one.
std::string Counted(std::size_t count, std::string_view word) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, ',');
    }
    return digits + " " + std::string(word) + (count == 1 ? "" : "s");
}

}  // namespace

std::string ListLoadSummary(const std::vector<ListFileCounts>& files) {
    std::size_t names = 0;
    std::size_t lists = 0;
    std::size_t skipped = 0;
    for (const ListFileCounts& file : files) {
        names += file.counts.blockNames + file.counts.allowNames;
        lists += file.read ? 1 : 0;
        skipped += file.counts.skippedLines;
    }
    return Counted(names, "name") + " from " + Counted(lists, "list") + " (" +
           Counted(skipped, "line") + " skipped)";
}
