#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/UniqueFd.h"

class CReactor;

// Runs one blocking lookup (a host name through the resolver, say) on a thread of its own,
// so that the loop never waits for it, and hands its result back on the loop's thread:
// the result arrives through a descriptor the reactor watches, and `onResult` runs from
// dispatch like a socket handler. Destroying the object forgets a lookup still running:
// its result is thrown away when it comes, and nobody waits for the thread.
class CBackgroundLookup {
public:
    using Result = std::vector<std::string>;
    using Lookup = std::function<Result()>;
    using OnResult = std::function<void(const Result&)>;

    // The reactor must outlive this object.
    CBackgroundLookup(CReactor& reactor, Lookup lookup, OnResult onResult);
    ~CBackgroundLookup();

    CBackgroundLookup(const CBackgroundLookup&) = delete;
    CBackgroundLookup& operator=(const CBackgroundLookup&) = delete;

    // False when the thread could not be started; nothing will arrive then.
    bool IsRunning() const { return m_resultEnd.IsOpen(); }

private:
    void TakeResult();
    void Stop();

    CReactor& m_reactor;
    OnResult m_onResult;
    CUniqueFd m_resultEnd;  // read end; the thread holds the write end
};
