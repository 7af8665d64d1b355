// A datagram through the query handling: the question is decoded, its route decided with
// lists loaded, and the local reply of that route built, as the DNS socket does. The first
// input byte sets "UseCode", "AlwaysReply" and the servers that can be asked; the rest is
// the datagram.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "dns/DnsQuestion.h"
#include "dns/DnsRoute.h"
#include "dns/LocalAnswer.h"
#include "dns/NameFilter.h"
#include "dns/RelayedReply.h"

namespace {

struct CFuzzFacts : dns::IRouteFacts {
    CNameFilter named;
    CNameFilter passed;
    std::uint8_t settings = 0;

    bool IsPassed(std::string_view name) const override { return passed.Matches(name); }
    bool IsNamed(std::string_view name) const override { return named.Matches(name); }
    int UseCode() override { return (settings & 3) * 10000 + ((settings >> 2) & 3); }
    bool AlwaysReply() override { return (settings & 16) != 0; }
    int AskableServers() const override { return (settings >> 5) & 0b10001; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFuzzFacts& facts = *[] {
        auto* made = new CFuzzFacts;
        made->named.Assign("ads.example\nin-addr.arpa\n\nx\n");
        made->passed.Assign("both.example\nads.example.net\n");
        return made;
    }();
    CDnsQuestion question;
    if (size == 0 || !question.Decode(data + 1, size - 1)) {
        return 0;
    }
    facts.settings = data[0];
    dns::MessageBuffer buffer{};
    std::copy_n(data + 1, size - 1, buffer.begin());
    std::size_t reply = 0;
    switch (dns::ChooseRoute(question.Type(), question.Name(), facts).kind) {
        case dns::RouteKind::kLocalAddress:
            reply = dns::BuildAddressAnswer(buffer, question.End(), {127, 0, 0, 1});
            break;
        case dns::RouteKind::kLocalPointer:
            reply = dns::BuildLocalhostPointerAnswer(buffer, question.End());
            break;
        case dns::RouteKind::kLocalEmpty:
            reply = dns::BuildEmptyAnswer(buffer, question.End());
            break;
        case dns::RouteKind::kRefused:
            reply = dns::BuildErrorReply(buffer, question.End(), dns::kRcodeRefused);
            break;
        case dns::RouteKind::kRelay:
        case dns::RouteKind::kDrop:
            break;
    }
    // A reply keeps the client's ID and never outgrows the buffer; a relay's limit is sane.
    if (reply > buffer.size() || (reply != 0 && (buffer[0] != data[1] || buffer[1] != data[2])) ||
        dns::ReplySizeLimit(data + 1, size - 1) > dns::kMaxRelayedReplySize) {
        std::abort();
    }
    return 0;
}
