#pragma once

#include <cstdarg>
#include <cstddef>

// printf-style formatting that is async-signal-safe: no allocation, no
// locale, no locks. It gives the same bytes as glibc's printf for the
// conversions the crash report uses: flags "-+#0 " and a width, the length
// modifiers h, l, ll, z, and d, i, u, x, X, s, c, p and %%. A null %s prints
// "(null)" and a null %p "(nil)", as glibc does; precision is not supported.
class SafeFormat {
public:
    // Where the text goes: a buffer that is flushed when full (or, without
    // a flush function, cut at its end; the text stays zero-terminated).
    struct Sink {
        char* buf = nullptr;
        std::size_t cap = 0;
        std::size_t len = 0;
        void (*flush)(Sink* sink) = nullptr;
        void* context = nullptr;
        std::size_t total = 0;   // bytes produced, cut ones included

        void put(char c);
        void put(const char* text, std::size_t n);
    };

    static void vformat(Sink& sink, const char* fmt, va_list args);
    // Like snprintf: the text is cut to cap - 1 bytes; returns the full length.
    static std::size_t format(char* out, std::size_t cap, const char* fmt, ...)
        __attribute__((format(printf, 3, 4)));
    static std::size_t vformat(char* out, std::size_t cap, const char* fmt, va_list args);

    // Decimal text of a number; returns its length (buffer of at least 21).
    static std::size_t decimal(char* out, long long value);
};
