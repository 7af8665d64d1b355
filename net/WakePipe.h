#pragma once

#include <cstdint>

#include "base/UniqueFd.h"

// A self-pipe that makes the reactor's poller readable: the loop writes a wake byte for its
// own pending work, and signal handlers write their signal number (the only thing they do).
class CWakePipe {
public:
    CWakePipe();
    ~CWakePipe();

    CWakePipe(const CWakePipe&) = delete;
    CWakePipe& operator=(const CWakePipe&) = delete;

    bool IsValid() const { return m_read.IsOpen() && m_write.IsOpen(); }
    int ReadFd() const { return m_read.Get(); }

    // Makes the read end readable; cheap when already woken.
    void Wake();

    // Sends `signo` through this pipe from now on; restored to the default on destruction.
    bool CatchSignal(int signo);

    // Empties the pipe and calls onSignal(signo) for every signal that arrived.
    template <class OnSignal>
    void Drain(OnSignal onSignal) {
        unsigned char bytes[kDrainChunk];
        int count;
        while ((count = ReadSome(bytes, sizeof bytes)) > 0) {
            for (int i = 0; i < count; ++i) {
                if (bytes[i] != kWakeByte) {
                    onSignal(static_cast<int>(bytes[i]));
                }
            }
        }
        m_woken = false;
    }

private:
    static constexpr unsigned char kWakeByte = 0;
    static constexpr int kDrainChunk = 64;
    static constexpr int kMaxCaughtSignal = 64;  // bits of m_caughtSignals

    int ReadSome(unsigned char* bytes, int size);

    CUniqueFd m_read;
    CUniqueFd m_write;
    bool m_woken = false;
    std::uint64_t m_caughtSignals = 0;  // bit per signal number
};
