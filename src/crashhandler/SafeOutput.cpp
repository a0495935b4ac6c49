#include "crashhandler/SafeOutput.h"

#include <cerrno>
#include <cstdarg>
#include <unistd.h>

SafeOutput::SafeOutput(int fd)
    : SafeOutput(fd, nullptr, 0)
{
}

SafeOutput::SafeOutput(int fd, char* buffer, std::size_t size)
    : m_fd(fd)
{
    if (buffer && size > 0) {
        m_buf = buffer;
        m_size = size;
    }
    m_sink.buf = m_buf;
    m_sink.cap = m_size;
    m_sink.flush = &SafeOutput::flushSink;
    m_sink.context = this;
}

SafeOutput::~SafeOutput() { flush(); }

bool SafeOutput::writeAll(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        data += w;
        n -= std::size_t(w);
    }
    return true;
}

void SafeOutput::flushSink(SafeFormat::Sink* sink)
{
    auto* self = static_cast<SafeOutput*>(sink->context);
    if (self->m_fd >= 0)
        writeAll(self->m_fd, sink->buf, sink->len);
    sink->len = 0;
}

void SafeOutput::flush() { flushSink(&m_sink); }

void SafeOutput::printf(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    SafeFormat::vformat(m_sink, fmt, args);
    va_end(args);
}

void SafeOutput::text(const char* s)
{
    std::size_t n = 0;
    while (s && s[n])
        ++n;
    bytes(s, n);
}

void SafeOutput::bytes(const char* data, std::size_t n)
{
    if (n >= m_size / 2) {
        flush();
        if (m_fd >= 0)
            writeAll(m_fd, data, n);
        return;
    }
    m_sink.put(data, n);
}
