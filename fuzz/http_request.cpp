// A request arriving in arbitrary pieces through the request reading: each input byte is
// the size of one piece the client sends (times 8), and each receive takes what is waiting,
// up to the buffer's size, as a connection does. The reading must end within its bound of
// receives, complete exactly when a receive comes back short, and refuse otherwise.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "httpd/RequestReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t waiting = 0;
    std::size_t next = 0;
    for (int receives = 1;; ++receives) {
        // The client sends its next pieces while the server is still reading.
        while (next < size && waiting < httpd::kRequestBufferSize) {
            waiting += std::size_t{data[next++]} * 8;
        }
        const int received =
            static_cast<int>(std::min<std::size_t>(waiting, httpd::kRequestBufferSize));
        waiting -= static_cast<std::size_t>(received);
        const httpd::ReadStep step = httpd::NextReadStep(received, receives);
        if (receives > httpd::kMaxReceives ||
            (step == httpd::ReadStep::kComplete) != (received < httpd::kRequestBufferSize)) {
            std::abort();
        }
        if (step != httpd::ReadStep::kKeepReading) {
            return 0;
        }
    }
}
