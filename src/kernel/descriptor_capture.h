// A descriptor of the kernel (standard output or error) turned into a pipe, so that
// what child processes and libraries write there reaches the notebook too.
#pragma once
#include <mutex>
#include <string>
#include <thread>

class DescriptorCapture {
public:
    explicit DescriptorCapture(int descriptor);
    ~DescriptorCapture();  // the descriptor is what it was before
    DescriptorCapture(const DescriptorCapture&) = delete;
    DescriptorCapture& operator=(const DescriptorCapture&) = delete;

    // All that was written so far and not taken yet.
    std::string take();

private:
    void drain();
    void read_available();  // with mutex_ held

    int descriptor_;
    int saved_ = -1;
    int read_end_ = -1;
    int stop_[2] = {-1, -1};
    std::mutex mutex_;
    std::string caught_;
    std::thread drainer_;
};
