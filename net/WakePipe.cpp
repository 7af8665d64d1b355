#include "net/WakePipe.h"

#include <cerrno>
#include <csignal>

#include "net/Sys.h"

namespace {

// The write end that signal handlers use; one wake pipe per process catches signals.
volatile std::sig_atomic_t g_signalWriteFd = -1;

void ForwardSignal(int signo) {
    int savedErrno = errno;
    unsigned char byte = static_cast<unsigned char>(signo);
    if (g_signalWriteFd >= 0) {
        sys::Write(g_signalWriteFd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

CWakePipe::CWakePipe() {
    int fds[2];
    if (sys::Pipe(fds) == 0) {
        m_read.Reset(fds[0]);
        m_write.Reset(fds[1]);
    }
}

CWakePipe::~CWakePipe() {
    if (m_caughtSignals == 0) {
        return;
    }
    for (int signo = 1; signo < kMaxCaughtSignal; ++signo) {
        if ((m_caughtSignals >> signo) & 1u) {
            sys::RestoreDefaultSignal(signo);
        }
    }
    g_signalWriteFd = -1;
}

void CWakePipe::Wake() {
    if (m_woken) {
        return;
    }
    unsigned char byte = kWakeByte;
    // A full pipe is readable already, which is all a wake needs.
    sys::Write(m_write.Get(), &byte, 1);
    m_woken = true;
}

bool CWakePipe::CatchSignal(int signo) {
    if (!IsValid() || signo <= 0 || signo >= kMaxCaughtSignal) {
        return false;
    }
    g_signalWriteFd = m_write.Get();
    if (sys::InstallSignalHandler(signo, ForwardSignal) != 0) {
        return false;
    }
    m_caughtSignals |= std::uint64_t{1} << signo;
    return true;
}

int CWakePipe::ReadSome(unsigned char* bytes, int size) {
    return static_cast<int>(sys::Read(m_read.Get(), bytes, static_cast<std::size_t>(size)));
}
