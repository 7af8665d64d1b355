#include "subscriptions/ListSchedule.h"

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;

}  // namespace

bool IsListDue(const ListAge& age, std::int64_t now, int refreshHours, bool atStart) {
    if (refreshHours <= 0) {
        return false;
    }
    if (atStart && (!age.fileExists || age.lastFailed)) {
        return true;
    }
    const std::int64_t since = now - age.lastAttempt;
    return age.lastAttempt == 0 || since < 0 || since >= refreshHours * kSecondsPerHour;
}
