#include "platform/photolib/NativeName.h"

#include <algorithm>

namespace NativeName {

namespace {
constexpr char16_t kKeptBase = 0xDC00;

bool isKeptByte(QChar c)
{
    return c.unicode() >= kKeptBase + 0x80 && c.unicode() <= kKeptBase + 0xFF;
}

// The length of the valid UTF-8 sequence at `at` (code point in *cp), or 0.
int sequenceAt(const uchar* at, qsizetype left, char32_t* cp)
{
    const uchar lead = at[0];
    int length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (at[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *cp = value;
    return length;
}
}

QString decode(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (!text.contains(QChar::ReplacementCharacter))
        return text;
    // Invalid bytes (or a U+FFFD of the name's own): decoded one by one.
    text.clear();
    const auto* at = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        char32_t cp = 0;
        const int length = sequenceAt(at + i, size - i, &cp);
        if (length == 0) {
            text += QChar(char16_t(kKeptBase + at[i]));
            ++i;
            continue;
        }
        text += QString::fromUcs4(&cp, 1);
        i += length;
    }
    return text;
}

bool isPlain(const QString& text)
{
    return std::none_of(text.begin(), text.end(), isKeptByte);
}

QByteArray encode(const QString& text)
{
    if (isPlain(text))
        return text.toUtf8();
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A low surrogate after a high one is half of a pair, not a kept byte.
        if (!isKeptByte(c) || (i > 0 && text.at(i - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(text).mid(from, i - from).toUtf8();
        bytes += char(c.unicode() - kKeptBase);
        from = i + 1;
    }
    bytes += QStringView(text).mid(from).toUtf8();
    return bytes;
}

}
