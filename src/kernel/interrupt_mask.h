// The notebook's interrupt (SIGINT) for this thread: taken while a cell runs, held back
// while the kernel waits on its sockets, where it would make the wait fail; a held-back
// interrupt takes effect once it is taken again.
#pragma once
#include <signal.h>

class InterruptMask {
public:
    enum class Interrupt { Taken, HeldBack };

    explicit InterruptMask(Interrupt interrupt) {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        pthread_sigmask(interrupt == Interrupt::Taken ? SIG_UNBLOCK : SIG_BLOCK, &signals, &previous_);
    }
    ~InterruptMask() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    InterruptMask(const InterruptMask&) = delete;
    InterruptMask& operator=(const InterruptMask&) = delete;

private:
    sigset_t previous_;
};
