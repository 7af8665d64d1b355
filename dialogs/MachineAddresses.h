#pragma once

#include <string>
#include <vector>

// The IPv4 addresses of this machine as dotted texts, in the resolver's order: the host
// name (gethostname) resolved for IPv4 (getaddrinfo). Empty when the name cannot be
// obtained or resolved, or resolves to no IPv4 address. Blocks until the resolver answers.
std::vector<std::string> LookUpMachineAddresses();
