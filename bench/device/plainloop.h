#pragma once

// The baseline the device link is measured against: the plain blocking loop
// an operator would write instead of running the program, with no event
// loop, no window and no checks. It sends "RV" + CR, sleeps in select() until
// 12 characters are in, and counts a reading. Nothing else runs in it.

#include <chrono>
#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

// Readings per second over `path` for `seconds`; 0 when it cannot be opened.
inline double PlainLoopRate(const char* path, double seconds) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY);
    termios settings{};
    if (fd < 0 || ::tcgetattr(fd, &settings) != 0)
        return 0.0;
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    long readings = 0;
    while (elapsed() < seconds) {
        if (::write(fd, "RV\r", 3) != 3)
            break;
        char reply[256];
        long got = 0;
        while (got < 12) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            timeval limit{2, 0};
            const long count = ::select(fd + 1, &readable, nullptr, nullptr, &limit) > 0
                                   ? ::read(fd, reply + got, sizeof reply - got)
                                   : -1;
            if (count <= 0)
                break;
            got += count;
        }
        if (got < 12)
            break;
        ++readings;
    }
    const double rate = readings / elapsed();
    ::close(fd);
    return rate;
}
