#pragma once

#include <cstdint>
#include <string>

// The number in decimal with a comma between each group of three digits: "1,234,567".
std::string WithThousands(std::uint64_t number);
