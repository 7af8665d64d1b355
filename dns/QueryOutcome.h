#pragma once

// How one query ended, whatever its transport.
enum class QueryOutcome {
    kLocalAnswer,  // an A or PTR answer built here
    kLocalEmpty,   // a listed name of another type: the header with no record
    kRefused,      // no server would be asked: REFUSED
    kRelayed,      // an upstream server's reply, passed on
    kServFail,     // every asked server stayed silent, or the relay could not start: SERVFAIL
    kDropped,      // no reply at all (malformed, unserved type, silence without AlwaysReply)
};
