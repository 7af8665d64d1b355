#pragma once

#include <functional>

class CReactor;

namespace kit {

// Runs the reactor until `done` holds; false if it still does not after `patienceMs`.
bool DispatchUntil(CReactor& reactor, const std::function<bool()>& done, int patienceMs = 5000);
// Runs the reactor for about `ms` milliseconds, so a test can see that nothing more comes.
void DispatchFor(CReactor& reactor, int ms);

}  // namespace kit
