#include "dns/ListFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

#include "dns/FilterFile.h"
#include "dns/ListLine.h"
#include "settings/TextFile.h"

namespace {

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

ListFileCounts ReadListFile(std::string path, ListSide folder, ListNames& names) {
    ListFileCounts file{std::move(path), folder, false, {}};
    const std::size_t blockBefore = names.block.size();
    const std::size_t allowBefore = names.allow.size();
    try {
        std::string text;
        if (ReadTextFile(file.path, text) != ReadResult::kRead) {
            std::fprintf(stderr, "Nimbrel: cannot read the list %s\n", file.path.c_str());
            return file;
        }
        file.counts = ReadListText(text, folder, names);
        file.read = true;
    } catch (const std::exception&) {
        // Out of memory: the list gives nothing, the lists read before it stay.
        names.block.resize(blockBefore);
        names.allow.resize(allowBefore);
        file.counts = {};
        std::fprintf(stderr, "Nimbrel: %s is too large to load\n", file.path.c_str());
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
    // Names are never longer than their lines: one allocation for the whole text.
    sideNames.reserve(sideNames.size() + text.size());
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
