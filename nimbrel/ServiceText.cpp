#include "nimbrel/ServiceText.h"

#include "activity/ActivityText.h"
#include "activity/QueryCounters.h"
#include "base/Thousands.h"

namespace nimbrel {

std::string ServiceTip(bool running, const CQueryCounters& counters) {
    if (!running) {
        return "Nimbrel\nstopped";
    }
    return "Nimbrel\n" + WithThousands(counters.Of(ActivityOutcome::kBlocked)) + " blocked of " +
           WithThousands(counters.Queries()) + " queries";
}

std::string StatusLine(const CQueryCounters& counters) {
    return "Nimbrel: " + activity::CountersLine(counters);
}

}  // namespace nimbrel
