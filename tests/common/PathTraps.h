#pragma once
// What a user may name instead of an ordinary file, for the tests of the code
// that reads and writes the files the user names: a named pipe, a file the user
// may not read, and a stopwatch for "at once".

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace t6::test {

// An unprivileged user, the one the rights of a test file are denied to.
inline constexpr uid_t kOtherUser = 65534;
inline constexpr gid_t kOtherGroup = 65534;

// Gives a file to the unprivileged user, as another user's file in a shared
// folder. Only root can; false otherwise (the test then leaves that case out).
inline bool giveToOtherUser(const std::filesystem::path& p) {
    return ::geteuid() == 0 && ::chown(p.c_str(), kOtherUser, kOtherGroup) == 0;
}

// While it lives the process acts as an unprivileged user (effective ids only),
// so that a file's missing read right is enforced even when the tests run as
// root. Does nothing when the tests do not run as root: the rights are then
// enforced anyway.
class AsOtherUser {
public:
    AsOtherUser() : active_(::geteuid() == 0) {
        if (active_) {
            ok_ = ::setegid(kOtherGroup) == 0 && ::seteuid(kOtherUser) == 0;
        }
    }
    ~AsOtherUser() {
        if (active_) {
            [[maybe_unused]] int a = ::seteuid(0);
            [[maybe_unused]] int b = ::setegid(0);
        }
    }
    AsOtherUser(const AsOtherUser&) = delete;
    AsOtherUser& operator=(const AsOtherUser&) = delete;
    bool ok() const { return !active_ || ok_; }

private:
    bool active_;
    bool ok_ = false;
};

// A named pipe without a writer: whoever opens it for reading in the ordinary,
// blocking way waits for ever. Should a reader still be blocked after a few
// seconds, the pipe is opened for writing and closed again, so that a test of a
// fault fails instead of hanging.
class Fifo {
public:
    explicit Fifo(std::filesystem::path path) : path_(std::move(path)) {
        // Anyone may open it, so that it can be freed while a test acts as another user.
        made_ = ::mkfifo(path_.c_str(), 0666) == 0 && ::chmod(path_.c_str(), 0666) == 0;
        watch_ = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_);
            if (cv_.wait_for(lock, std::chrono::seconds(5), [this] { return done_; }))
                return;
            while (!done_) {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    rescued_ = true;
                }
                cv_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
            }
        });
    }
    ~Fifo() {
        {
            std::lock_guard<std::mutex> lock(m_);
            done_ = true;
        }
        cv_.notify_all();
        watch_.join();
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;
    bool made() const { return made_; }
    // Whether a reader had to be freed.
    bool rescued() const { return rescued_; }
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
    bool made_ = false;
    std::atomic<bool> rescued_{false};
    std::mutex m_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread watch_;
};

// How long a call took, in seconds of real time.
template <typename F> double secondsTaken(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline bool isFifo(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_fifo(std::filesystem::symlink_status(p, ec));
}

} // namespace t6::test
