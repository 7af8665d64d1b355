#include "tests/support/Dispatch.h"

#include <chrono>

#include "net/Reactor.h"

namespace kit {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSliceMs = 5;

}  // namespace

bool DispatchUntil(CReactor& reactor, const std::function<bool()>& done, int patienceMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(patienceMs);
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        reactor.DispatchReady(kSliceMs);
    }
    return true;
}

void DispatchFor(CReactor& reactor, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        reactor.DispatchReady(kSliceMs);
    }
}

}  // namespace kit
