#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Sanitizers keep shadow memory and freed blocks resident, so a peak
// measured under one says nothing about the program's own: memory tests
// skip their peak checks when MOFENG_UNDER_SANITIZER is defined.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MOFENG_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MOFENG_UNDER_SANITIZER 1
#endif
#endif

namespace mofeng::test {

// How far the peak resident memory of a child running work rises above what
// it had at the start, in bytes; -1 when work returns false or the child fails.
// A child, because the peak of a process never comes down again.
inline long PeakGrowthBytes(const std::function<bool()>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        struct rusage before {};
        ::getrusage(RUSAGE_SELF, &before);
        const bool ok = work();
        struct rusage after {};
        ::getrusage(RUSAGE_SELF, &after);
        const long grown = (after.ru_maxrss - before.ru_maxrss) * 1024;
        (void)!::write(pipeFds[1], &grown, sizeof grown);
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    long grown = -1;
    if (::read(pipeFds[0], &grown, sizeof grown) != sizeof grown) {
        grown = -1;
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? grown : -1;
}

}  // namespace mofeng::test
