#pragma once

#include <functional>

class CReactor;

// Runs a handler from the thread's reactor whenever a descriptor that is not a socket of
// this layer is readable, for as long as the object lives or until Stop.
class CReadableWatch {
public:
    CReadableWatch() = default;
    ~CReadableWatch() { Stop(); }

    CReadableWatch(const CReadableWatch&) = delete;
    CReadableWatch& operator=(const CReadableWatch&) = delete;

    // False when the thread has no reactor or it refuses `fd`.
    bool Start(int fd, std::function<void()> onReadable);
    void Stop();

private:
    CReactor* m_reactor = nullptr;
    int m_fd = -1;
};
