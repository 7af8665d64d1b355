#pragma once

#include <string>

#include "subscriptions/ListSubscription.h"

// Where the file of `list` is kept in the filter folder `folder` (in its side's folder, found
// in any letter case), and its state file.
std::string ListFilePath(const std::string& folder, const ListSubscription& list);
std::string ListStatePath(const std::string& folder, const ListSubscription& list);
