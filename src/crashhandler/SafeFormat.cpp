#include "crashhandler/SafeFormat.h"

namespace {

struct Spec {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int length = 0;   // 0 int, 1 long, 2 long long, -1 short, 3 size_t
};

std::size_t textLength(const char* s)
{
    std::size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

void padding(SafeFormat::Sink& sink, char c, int n)
{
    for (int i = 0; i < n; ++i)
        sink.put(c);
}

// prefix (sign or "0x") and digits, padded as glibc pads them.
void emitNumber(SafeFormat::Sink& sink, const Spec& spec, const char* prefix, const char* digits,
                std::size_t ndigits)
{
    std::size_t nprefix = textLength(prefix);
    int pad = spec.width - int(nprefix + ndigits);
    if (spec.left) {
        sink.put(prefix, nprefix);
        sink.put(digits, ndigits);
        padding(sink, ' ', pad);
    } else if (spec.zero) {
        sink.put(prefix, nprefix);
        padding(sink, '0', pad);
        sink.put(digits, ndigits);
    } else {
        padding(sink, ' ', pad);
        sink.put(prefix, nprefix);
        sink.put(digits, ndigits);
    }
}

std::size_t toDigits(char* end, unsigned long long v, unsigned base, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::size_t n = 0;
    do {
        *--end = set[v % base];
        v /= base;
        ++n;
    } while (v);
    return n;
}

void emitString(SafeFormat::Sink& sink, const Spec& spec, const char* s)
{
    if (!s)
        s = "(null)";
    std::size_t n = textLength(s);
    int pad = spec.width - int(n);
    if (!spec.left)
        padding(sink, ' ', pad);
    sink.put(s, n);
    if (spec.left)
        padding(sink, ' ', pad);
}

}

void SafeFormat::Sink::put(char c)
{
    ++total;
    if (len + 1 >= cap) {
        if (!flush)
            return;
        flush(this);
        if (len + 1 >= cap)
            return;
    }
    buf[len++] = c;
    buf[len] = '\0';
}

void SafeFormat::Sink::put(const char* text, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        put(text[i]);
}

void SafeFormat::vformat(Sink& sink, const char* fmt, va_list args)
{
    char digits[32];
    char* end = digits + sizeof digits;
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            sink.put(*p);
            continue;
        }
        Spec spec;
        for (++p;; ++p) {
            if (*p == '-') spec.left = true;
            else if (*p == '+') spec.plus = true;
            else if (*p == ' ') spec.space = true;
            else if (*p == '#') spec.alt = true;
            else if (*p == '0') spec.zero = true;
            else break;
        }
        if (spec.left)
            spec.zero = false;
        while (*p >= '0' && *p <= '9')
            spec.width = spec.width * 10 + (*p++ - '0');
        if (*p == 'h') { spec.length = -1; ++p; if (*p == 'h') ++p; }
        else if (*p == 'z') { spec.length = 3; ++p; }
        else if (*p == 'l') { spec.length = 1; ++p; if (*p == 'l') { spec.length = 2; ++p; } }
        switch (*p) {
        case 'd':
        case 'i': {
            long long v = spec.length == 2 ? va_arg(args, long long)
                        : spec.length == 1 || spec.length == 3 ? va_arg(args, long)
                        : spec.length == -1 ? (short)va_arg(args, int) : va_arg(args, int);
            unsigned long long mag = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
            std::size_t n = toDigits(end, mag, 10, false);
            const char* sign = v < 0 ? "-" : spec.plus ? "+" : spec.space ? " " : "";
            emitNumber(sink, spec, sign, end - n, n);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned long long v = spec.length == 2 ? va_arg(args, unsigned long long)
                                 : spec.length == 1 || spec.length == 3 ? va_arg(args, unsigned long)
                                 : spec.length == -1 ? (unsigned short)va_arg(args, unsigned)
                                 : va_arg(args, unsigned);
            bool hex = *p != 'u';
            std::size_t n = toDigits(end, v, hex ? 16 : 10, *p == 'X');
            const char* prefix = hex && spec.alt && v ? (*p == 'X' ? "0X" : "0x") : "";
            emitNumber(sink, spec, prefix, end - n, n);
            break;
        }
        case 'p': {
            void* v = va_arg(args, void*);
            if (!v) {
                Spec s = spec;
                s.zero = false;
                emitString(sink, s, "(nil)");
                break;
            }
            std::size_t n = toDigits(end, (unsigned long long)(unsigned long)v, 16, false);
            emitNumber(sink, spec, "0x", end - n, n);
            break;
        }
        case 's':
            emitString(sink, spec, va_arg(args, const char*));
            break;
        case 'c': {
            char c[2] = {char(va_arg(args, int)), 0};
            Spec s = spec;
            s.zero = false;
            int pad = s.width - 1;
            if (!s.left)
                padding(sink, ' ', pad);
            sink.put(c[0]);
            if (s.left)
                padding(sink, ' ', pad);
            break;
        }
        case '%':
            sink.put('%');
            break;
        case '\0':
            return;
        default:
            sink.put('%');
            sink.put(*p);
            break;
        }
    }
}

std::size_t SafeFormat::vformat(char* out, std::size_t cap, const char* fmt, va_list args)
{
    Sink sink;
    sink.buf = out;
    sink.cap = cap;
    if (cap)
        out[0] = '\0';
    vformat(sink, fmt, args);
    return sink.total;
}

std::size_t SafeFormat::format(char* out, std::size_t cap, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::size_t n = vformat(out, cap, fmt, args);
    va_end(args);
    return n;
}

std::size_t SafeFormat::decimal(char* out, long long value)
{
    return format(out, 21, "%lld", value);
}
