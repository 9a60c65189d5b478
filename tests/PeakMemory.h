#pragma once
// The process's peak resident memory so far, for the soak tests. Under AddressSanitizer freed
// memory sits in quarantine and the figure says nothing; peakMemoryIsMeaningful() tells.

#include <QFile>
#include <cstdint>

inline std::int64_t peakResidentKilobytes() {
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
