#include "subscriptions/ListPaths.h"

#include "subscriptions/ListFileName.h"

namespace {

std::string SideFolderPath(const std::string& folder, ListSide side) {
    return folder + "/" + std::string(SideFolder(side));
}

}  // namespace

std::string ListFilePath(const std::string& folder, const ListSubscription& list) {
    return SideFolderPath(folder, list.side) + "/" + ListFileName(list.url);
}

std::string ListStatePath(const std::string& folder, const ListSubscription& list) {
    return SideFolderPath(folder, list.side) + "/" + ListStateFileName(ListFileName(list.url));
}
