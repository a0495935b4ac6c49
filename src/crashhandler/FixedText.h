#pragma once

#include <cstddef>

// A zero-terminated text in a fixed buffer that the crash path can fill
// without allocating. "Set" and "empty" differ: a field that was never set
// is absent from the report, an empty one prints an empty value.
template <std::size_t N>
class FixedText {
public:
    void clear()
    {
        m_len = 0;
        m_set = false;
        m_buf[0] = '\0';
    }
    void assign(const char* text)
    {
        clear();
        append(text);
    }
    void assign(const char* text, std::size_t len)
    {
        clear();
        append(text, len);
    }
    void append(const char* text)
    {
        std::size_t len = 0;
        while (text && text[len])
            ++len;
        append(text, len);
    }
    void append(const char* text, std::size_t len)
    {
        m_set = true;
        for (std::size_t i = 0; i < len && m_len + 1 < N; ++i)
            m_buf[m_len++] = text[i];
        m_buf[m_len] = '\0';
    }
    bool isSet() const { return m_set; }
    const char* c_str() const { return m_buf; }
    std::size_t size() const { return m_len; }
    static constexpr std::size_t capacity() { return N - 1; }

private:
    char m_buf[N] = {};
    std::size_t m_len = 0;
    bool m_set = false;
};
