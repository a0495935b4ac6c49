#pragma once

#include <string>
#include <string_view>

// Percent-escapes UTF-8 text for use inside a URL: every byte that is not a
// legal URL character becomes "%XX" (upper-case hexadecimal). Letters,
// digits, the marks - _ . ! ~ * ' ( ) and the reserved characters
// ; / ? : @ & = + $ , # stay as they are; "%" itself is always escaped.
std::string codec_url_escape(std::string_view utf8);
