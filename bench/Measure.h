#pragma once
// Small measuring helpers shared by the benchmarks: the monotonic clock, the process's CPU
// time, the scheduler's account of the calling thread, and order statistics.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace bench
{

inline int64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// CPU time (user + system) of the whole process, every thread of it included.
struct CpuSample {
    int64_t cpu_ns = 0;
    long voluntarySwitches = 0;
    long involuntarySwitches = 0;
    long maxRss_kB = 0;
};

inline CpuSample ProcessCpu()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    CpuSample s;
    s.cpu_ns = (int64_t(ru.ru_utime.tv_sec) + int64_t(ru.ru_stime.tv_sec)) * 1'000'000'000 +
               (int64_t(ru.ru_utime.tv_usec) + int64_t(ru.ru_stime.tv_usec)) * 1000;
    s.voluntarySwitches = ru.ru_nvcsw;
    s.involuntarySwitches = ru.ru_nivcsw;
    s.maxRss_kB = ru.ru_maxrss;
    return s;
}

// The scheduler's account of the calling thread (/proc/thread-self/schedstat): time on a CPU
// and time spent runnable but waiting for a CPU, in nanoseconds.
class SchedStat
{
  public:
    SchedStat() : m_fd(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~SchedStat()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SchedStat(const SchedStat&) = delete;
    SchedStat& operator=(const SchedStat&) = delete;

    bool Valid() const { return m_fd >= 0; }
    // Time spent runnable but not running (waiting on a run queue), cumulative; -1 when unknown.
    int64_t RunDelayNs() const
    {
        if (m_fd < 0)
            return -1;
        char buffer[128];
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer - 1, 0);
        if (n <= 0)
            return -1;
        buffer[n] = 0;
        long long onCpu = 0, waiting = 0;
        if (std::sscanf(buffer, "%lld %lld", &onCpu, &waiting) != 2)
            return -1;
        return waiting;
    }

  private:
    int m_fd;
};

// Nearest-rank percentile of `values` (p in 0..100); 0 for an empty set.
inline double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * double(values.size()));
    size_t index = rank < 1 ? 0 : size_t(rank) - 1;
    if (index >= values.size())
        index = values.size() - 1;
    return values[index];
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Max(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace bench
