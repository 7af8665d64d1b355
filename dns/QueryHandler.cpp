#include "dns/QueryHandler.h"

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

// The query's header and question in a buffer of its own, where a local reply is built.
dns::MessageBuffer QuestionBuffer(const std::uint8_t* message, std::size_t questionEnd) {
    dns::MessageBuffer buffer;
    std::copy_n(message, questionEnd, buffer.begin());
    return buffer;
}

}  // namespace

CQueryHandler::CQueryHandler(const CFilterLists& filters, CUpstreamRelay& relay,
                             const ProfileStore& profile, IActivitySink* activity)
    : m_filters(filters), m_relay(relay), m_profile(profile), m_activity(activity) {
    // "UseCode" and "AlwaysReply" are read for every relayed query: from the kept copy,
    // read again only after the profile's folder reports a change.
    if (m_profile.WatchChanges() &&
        !m_profileWatch.Start(m_profile.ChangeFd(), [this] { m_profile.TakeChanges(); })) {
        m_profile.StopWatching();
    }
}

CQueryHandler::~CQueryHandler() {
    // The relays in flight would answer through this handler.
    m_relay.DropPending();
}

void CQueryHandler::Handle(const std::uint8_t* message, std::size_t length,
                           const QueryOrigin& origin) {
    SetActivity(IActivitySink::kQueryArrived);
    SetActivity(IActivitySink::kIdle);
    CDnsQuestion question;
    if (length == 0 || !question.Decode(message, length)) {
        SetActivity(IActivitySink::kIdle);
        Conclude(origin, nullptr, ActivityOutcome::kDropped, nullptr, 0);
        return;
    }
    if (question.Type() == dns::kTypePtr) {
        SetActivity(IActivitySink::kAnsweringLocally);
    }
    CQueryFacts facts(m_filters, m_profile, m_relay);
    const dns::Route route = dns::ChooseRoute(question.Type(), question.Name(), facts);
    Carry(route, message, length, question, origin);
}

void CQueryHandler::Carry(const dns::Route& route, const std::uint8_t* message, std::size_t length,
                          const CDnsQuestion& question, const QueryOrigin& origin) {
    const std::size_t end = question.End();
    switch (route.kind) {
        case dns::RouteKind::kLocalAddress: {
            SetActivity(IActivitySink::kAnsweringLocally);
            dns::MessageBuffer buffer = QuestionBuffer(message, end);
            ReplyLocally(buffer, dns::BuildAddressAnswer(buffer, end, m_resolveAddress), question,
                         ActivityOutcome::kBlocked, origin);
            return;
        }
        case dns::RouteKind::kLocalEmpty: {
            SetActivity(IActivitySink::kAnsweringLocally);
            dns::MessageBuffer buffer = QuestionBuffer(message, end);
            ReplyLocally(buffer, dns::BuildEmptyAnswer(buffer, end), question,
                         ActivityOutcome::kBlocked, origin);
            return;
        }
        case dns::RouteKind::kLocalPointer: {
            dns::MessageBuffer buffer = QuestionBuffer(message, end);
            ReplyLocally(buffer, dns::BuildLocalhostPointerAnswer(buffer, end), question,
                         ActivityOutcome::kLocal, origin);
            return;
        }
        case dns::RouteKind::kRelay: {
            RelayRequest request;
            request.query.assign(message, message + length);
            request.questionEnd = end;
            request.origin = origin;
            request.mask = route.mask;
            request.replyLimit =
                origin.stream ? dns::kMaxStreamMessageSize : dns::ReplySizeLimit(message, length);
            request.alwaysReply = route.alwaysReply;
            if (!m_relay.RelayQuery(request, *this)) {
                ReplyUnanswered(route, message, question, origin, dns::kRcodeServFail);
            }
            return;
        }
        case dns::RouteKind::kRefused:
            ReplyUnanswered(route, message, question, origin, dns::kRcodeRefused);
            return;
        case dns::RouteKind::kDrop:
            // A type the service does not serve, or a passed name with nowhere to go.
            if (route.passed ||
                (question.Type() != dns::kTypeA && question.Type() != dns::kTypePtr)) {
                SetActivity(IActivitySink::kIdle);
            }
            Conclude(origin, &question, ActivityOutcome::kDropped, nullptr, 0);
            return;
    }
}

void CQueryHandler::ReplyLocally(const dns::MessageBuffer& buffer, std::size_t replyLength,
                                 const CDnsQuestion& question, ActivityOutcome outcome,
                                 const QueryOrigin& origin) {
    Conclude(origin, &question, replyLength != 0 ? outcome : ActivityOutcome::kDropped,
             buffer.data(), replyLength);
    SetActivity(IActivitySink::kIdle);
}

void CQueryHandler::ReplyUnanswered(const dns::Route& route, const std::uint8_t* message,
                                    const CDnsQuestion& question, const QueryOrigin& origin,
                                    std::uint8_t rcode) {
    if (route.passed) {
        SetActivity(IActivitySink::kIdle);
    }
    if (!route.alwaysReply) {
        Conclude(origin, &question, ActivityOutcome::kDropped, nullptr, 0);
        return;
    }
    dns::MessageBuffer buffer = QuestionBuffer(message, question.End());
    Conclude(origin, &question,
             rcode == dns::kRcodeRefused ? ActivityOutcome::kRefused : ActivityOutcome::kFailed,
             buffer.data(), dns::BuildErrorReply(buffer, question.End(), rcode));
}

void CQueryHandler::OnRelayReply(const RelayRequest& request, const std::uint8_t* reply,
                                 std::size_t length, std::uint32_t server,
                                 std::uint32_t durationUs) {
    SetActivity(IActivitySink::kRelaying);
    CDnsQuestion question;
    question.Decode(request.query.data(), request.query.size());
    Conclude(request.origin, &question, ActivityOutcome::kRelayed, reply, length, server,
             durationUs);
}

void CQueryHandler::OnRelayUnanswered(const RelayRequest& request) {
    CDnsQuestion question;
    question.Decode(request.query.data(), request.query.size());
    if (!request.alwaysReply) {
        Conclude(request.origin, &question, ActivityOutcome::kDropped, nullptr, 0);
        return;
    }
    dns::MessageBuffer buffer = QuestionBuffer(request.query.data(), request.questionEnd);
    Conclude(request.origin, &question, ActivityOutcome::kFailed, buffer.data(),
             dns::BuildErrorReply(buffer, request.questionEnd, dns::kRcodeServFail));
}

void CQueryHandler::Conclude(const QueryOrigin& origin, const CDnsQuestion* question,
                             ActivityOutcome outcome, const std::uint8_t* reply, std::size_t length,
                             std::uint32_t server, std::uint32_t durationUs) {
    if (question != nullptr && m_activity != nullptr) {
        m_activity->RecordQuery(
            QueryRecord{question->Name(), question->Type(), outcome, server, durationUs});
    }
    origin.transport->Finish(origin, reply, length);
}

void CQueryHandler::SetActivity(int state) {
    if (m_activity != nullptr) {
        m_activity->SetActivity(state);
    }
}
