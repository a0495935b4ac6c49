#pragma once

#include "crashhandler/SafeFormat.h"

#include <cstddef>

// A file descriptor written through a small buffer with write(2) only;
// async-signal-safe. A descriptor of -1 swallows the text.
class SafeOutput {
public:
    explicit SafeOutput(int fd);
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
    char m_buf[2048];
    SafeFormat::Sink m_sink;
};
