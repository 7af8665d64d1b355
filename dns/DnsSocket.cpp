#include "dns/DnsSocket.h"

#include <sys/socket.h>

#include <algorithm>
#include <optional>

#include "dns/ActivitySink.h"
#include "dns/DnsQuestion.h"
#include "dns/FilterLists.h"
#include "dns/LocalAnswer.h"
#include "dns/RelayedReply.h"
#include "dns/UpstreamRelay.h"
#include "settings/ProfileKeys.h"

namespace {

// Every reply goes out with MSG_DONTROUTE: the client is always on this machine.
constexpr int kReplyFlags = MSG_DONTROUTE;

constexpr int kUseCodeDefault = 0;
constexpr int kAlwaysReplyDefault = 1;

// What the route of one query is decided from; each profile value is read at most once,
// and only when the decision needs it.
class CQueryFacts : public dns::IRouteFacts {
public:
    CQueryFacts(const CFilterLists& filters, CKeptProfile& profile, const CUpstreamRelay& relay)
        : m_filters(filters), m_profile(profile), m_relay(relay) {}

    bool IsPassed(std::string_view name) const override { return m_filters.IsPassed(name); }
    bool IsNamed(std::string_view name) const override { return m_filters.IsNamed(name); }
    int UseCode() override {
        return m_profile.ReadInt(profile::kProxy, profile::kUseCode, kUseCodeDefault);
    }
    bool AlwaysReply() override {
        if (!m_alwaysReply) {
            m_alwaysReply =
                m_profile.ReadInt(profile::kProxy, profile::kAlwaysReply, kAlwaysReplyDefault) != 0;
        }
        return *m_alwaysReply;
    }
    int AskableServers() const override { return m_relay.AskableServers(); }

private:
    const CFilterLists& m_filters;
    CKeptProfile& m_profile;
    const CUpstreamRelay& m_relay;
    std::optional<bool> m_alwaysReply;
};

}  // namespace

CDnsSocket::CDnsSocket(const CFilterLists& filters, CUpstreamRelay& relay,
                       const ProfileStore& profile, IActivitySink* activity)
    : m_filters(filters), m_relay(relay), m_profile(profile), m_activity(activity) {}

CDnsSocket::~CDnsSocket() {
    // The relays in flight would answer through this socket.
    m_relay.DropPending();
}

void CDnsSocket::OnReceive(int /*errorCode*/) {
    SetActivity(IActivitySink::kQueryArrived);
    dns::MessageBuffer buffer;
    sockaddr_in client{};
    const int received = ReceiveFrom(buffer.data(), static_cast<int>(buffer.size()), client);
    SetActivity(IActivitySink::kIdle);

    CDnsQuestion question;
    if (received <= 0 || !question.Decode(buffer.data(), static_cast<std::size_t>(received))) {
        SetActivity(IActivitySink::kIdle);
        return;
    }
    if (question.Type() == dns::kTypePtr) {
        SetActivity(IActivitySink::kAnsweringLocally);
    }
    CQueryFacts facts(m_filters, m_profile, m_relay);
    const dns::Route route = dns::ChooseRoute(question.Type(), question.Name(), facts);
    Carry(route, buffer, received, question, client);
}

void CDnsSocket::Carry(const dns::Route& route, dns::MessageBuffer& buffer, int length,
                       const CDnsQuestion& question, const sockaddr_in& client) {
    switch (route.kind) {
        case dns::RouteKind::kLocalAddress:
            SetActivity(IActivitySink::kAnsweringLocally);
            ReplyLocally(buffer, dns::BuildAddressAnswer(buffer, question.End(), m_resolveAddress),
                         client);
            Record(question, ActivityOutcome::kBlocked);
            break;
        case dns::RouteKind::kLocalEmpty:
            SetActivity(IActivitySink::kAnsweringLocally);
            ReplyLocally(buffer, dns::BuildEmptyAnswer(buffer, question.End()), client);
            Record(question, ActivityOutcome::kBlocked);
            break;
        case dns::RouteKind::kLocalPointer:
            ReplyLocally(buffer, dns::BuildLocalhostPointerAnswer(buffer, question.End()), client);
            Record(question, ActivityOutcome::kLocal);
            break;
        case dns::RouteKind::kRelay: {
            RelayRequest request;
            std::copy_n(buffer.begin(), length, request.query.begin());
            request.length = static_cast<std::size_t>(length);
            request.questionEnd = question.End();
            request.client = client;
            request.mask = route.mask;
            request.replyLimit = dns::ReplySizeLimit(buffer.data(), request.length);
            request.alwaysReply = route.alwaysReply;
            if (!m_relay.RelayQuery(request, *this)) {
                ReplyUnanswered(route, buffer, question, client, dns::kRcodeServFail);
                Record(question,
                       route.alwaysReply ? ActivityOutcome::kFailed : ActivityOutcome::kDropped);
            }
            break;
        }
        case dns::RouteKind::kRefused:
            ReplyUnanswered(route, buffer, question, client, dns::kRcodeRefused);
            Record(question, ActivityOutcome::kRefused);
            break;
        case dns::RouteKind::kDrop:
            // A type the service does not serve, or a passed name with nowhere to go.
            if (route.passed ||
                (question.Type() != dns::kTypeA && question.Type() != dns::kTypePtr)) {
                SetActivity(IActivitySink::kIdle);
            }
            Record(question, ActivityOutcome::kDropped);
            break;
    }
}

void CDnsSocket::ReplyLocally(const dns::MessageBuffer& buffer, std::size_t replyLength,
                              const sockaddr_in& client) {
    if (replyLength != 0) {
        Reply(buffer.data(), replyLength, client);
    }
    SetActivity(IActivitySink::kIdle);
}

void CDnsSocket::ReplyUnanswered(const dns::Route& route, dns::MessageBuffer& buffer,
                                 const CDnsQuestion& question, const sockaddr_in& client,
                                 std::uint8_t rcode) {
    if (route.passed) {
        SetActivity(IActivitySink::kIdle);
    }
    if (route.alwaysReply) {
        Reply(buffer.data(), dns::BuildErrorReply(buffer, question.End(), rcode), client);
    }
}

void CDnsSocket::OnRelayReply(const RelayRequest& request, const std::uint8_t* reply,
                              std::size_t length) {
    SetActivity(IActivitySink::kRelaying);
    Reply(reply, length, request.client);
}

void CDnsSocket::OnRelayUnanswered(const RelayRequest& request) {
    if (!request.alwaysReply) {
        return;
    }
    dns::MessageBuffer buffer = request.query;
    Reply(buffer.data(), dns::BuildErrorReply(buffer, request.questionEnd, dns::kRcodeServFail),
          request.client);
}

void CDnsSocket::Reply(const std::uint8_t* message, std::size_t length, const sockaddr_in& client) {
    if (length != 0) {
        SendTo(message, static_cast<int>(length), client, kReplyFlags);
    }
}

void CDnsSocket::SetActivity(int state) {
    if (m_activity != nullptr) {
        m_activity->SetActivity(state);
    }
}

void CDnsSocket::Record(const CDnsQuestion& question, ActivityOutcome outcome) {
    if (m_activity != nullptr) {
        m_activity->RecordQuery(QueryRecord{question.Name(), question.Type(), outcome});
    }
}
