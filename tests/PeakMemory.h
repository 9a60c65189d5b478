#pragma once
// The process's peak memory so far, for the soak tests: the peak resident set on Linux, the peak
// working set on Windows. Under AddressSanitizer freed memory sits in quarantine and the figure
// says nothing; peakMemoryIsMeaningful() tells.

#include <cstdint>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: psapi.h relies on its types.
#include <psapi.h>
#else
#include <QFile>
#endif

inline std::int64_t peakResidentKilobytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return -1;
    }
    return std::int64_t(counters.PeakWorkingSetSize / 1024);
#else
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    // /proc files report no size, so read them whole rather than line by line until atEnd().
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toLongLong();
        }
    }
    return -1;
#endif
}

inline bool peakMemoryIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#endif
#endif
    return peakResidentKilobytes() > 0;
}
