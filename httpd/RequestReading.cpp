#include "httpd/RequestReading.h"

namespace httpd {

ReadStep NextReadStep(int received, int receiveCount) {
    if (received < kRequestBufferSize) {
        return ReadStep::kComplete;
    }
    return receiveCount < kMaxReceives ? ReadStep::kKeepReading : ReadStep::kRefuse;
}

}  // namespace httpd
