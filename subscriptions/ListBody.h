#pragma once

#include <string_view>

// Whether a downloaded body gives at least one name when read as a list, line by line.
// An HTML page (an error or log-in page served with status 200) gives none.
bool GivesAnyName(std::string_view body);
