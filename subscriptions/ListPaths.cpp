#include "subscriptions/ListPaths.h"

#include "subscriptions/ListFileName.h"

std::string ListFilePath(const std::string& folder, const ListSubscription& list) {
    return ListFolderPath(folder, list.side) + "/" + ListFileName(list.url);
}

std::string ListStatePath(const std::string& folder, const ListSubscription& list) {
    return ListFolderPath(folder, list.side) + "/" + ListStateFileName(ListFileName(list.url));
}
