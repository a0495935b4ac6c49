#pragma once

#include "crashhandler/SafeFormat.h"

#include <cstddef>

// A file descriptor written through a small buffer with write(2) only;
// async-signal-safe. A descriptor of -1 swallows the text.
class SafeOutput {
public:
    explicit SafeOutput(int fd);
    // Buffers in the caller's storage instead of the object's own 2 KiB
    // (fewer writes for a long text).
    SafeOutput(int fd, char* buffer, std::size_t size);
    ~SafeOutput();
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;

    void printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void text(const char* s);
    void bytes(const char* data, std::size_t n);
    void flush();
    int fd() const { return m_fd; }

    // write(2) until all is written or an error other than EINTR.
    static bool writeAll(int fd, const char* data, std::size_t n);

private:
    static void flushSink(SafeFormat::Sink* sink);

    int m_fd;
    char m_own[2048];
    char* m_buf = m_own;
    std::size_t m_size = sizeof m_own;
    SafeFormat::Sink m_sink;
};
