#include "httpd/IdleWatch.h"

namespace httpd {

IdleWatch LookAt(IdleWatch watch, bool progressed, int queuedNow) {
    const bool drained = queuedNow >= 0 && watch.queuedBytes >= 0 && queuedNow < watch.queuedBytes;
    watch.quietLooks = progressed || drained ? 0 : watch.quietLooks + 1;
    watch.queuedBytes = queuedNow;
    return watch;
}

bool HasStalled(const IdleWatch& watch, int quietLooksAllowed) {
    return watch.quietLooks > quietLooksAllowed;
}

}  // namespace httpd
