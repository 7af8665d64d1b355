// An upstream reply through the relay's checks. The first input byte splits the rest into
// a query and the datagram that claims to answer it; the query takes part only when it
// holds a question, as every relayed query does.

#include <cstdint>

#include "dns/DnsQuestion.h"
#include "dns/RelayedReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t queryLength = data[0] < size - 1 ? data[0] : size - 1;
    const std::uint8_t* query = data + 1;
    const std::uint8_t* reply = query + queryLength;
    const std::size_t replyLength = size - 1 - queryLength;
    CDnsQuestion question;
    if (!question.Decode(query, queryLength)) {
        return 0;
    }
    dns::ReplySizeLimit(query, queryLength);
    dns::AnswersQuery(query, question.End(), reply, replyLength);
    return 0;
}
