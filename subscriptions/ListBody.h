#pragma once

#include <string_view>

#include "dns/ListFiles.h"

// Whether a downloaded body, read as a list of `side`, gives at least one name. An HTML
// page (an error or log-in page served with status 200) gives none.
bool GivesAnyName(std::string_view body, ListSide side);
