// A thread keeps the pipe empty, so that a child writing much never waits on the
// kernel, which may itself be waiting for that child; the kernel takes what was
// caught at its own pace.
#include "kernel/descriptor_capture.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

DescriptorCapture::DescriptorCapture(int descriptor) : descriptor_(descriptor) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0 || pipe2(stop_, O_CLOEXEC) != 0) return;
    saved_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    dup2(ends[1], descriptor);  // without close-on-exec: children write into it
    close(ends[1]);
    read_end_ = ends[0];
    fcntl(read_end_, F_SETFL, O_NONBLOCK);
    drainer_ = std::thread([this] { drain(); });
}

DescriptorCapture::~DescriptorCapture() {
    if (drainer_.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t written = write(stop_[1], &stop, 1);
        drainer_.join();
    }
    if (saved_ >= 0) {
        dup2(saved_, descriptor_);
        close(saved_);
    }
    for (const int fd : {read_end_, stop_[0], stop_[1]})
        if (fd >= 0) close(fd);
}

std::string DescriptorCapture::take() {
    const std::lock_guard lock(mutex_);
    if (read_end_ >= 0) read_available();
    std::string taken;
    taken.swap(caught_);
    return taken;
}

void DescriptorCapture::drain() {
    pollfd waits[2] = {{read_end_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    for (;;) {
        if (poll(waits, 2, -1) < 0 && errno != EINTR) return;
        if (waits[1].revents != 0) return;
        if (waits[0].revents & (POLLERR | POLLNVAL)) return;
        const std::lock_guard lock(mutex_);
        read_available();
    }
}

void DescriptorCapture::read_available() {
    char bytes[65536];
    for (;;) {
        const ssize_t n = read(read_end_, bytes, sizeof bytes);
        if (n > 0) {
            caught_.append(bytes, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}
