#include "crashhandler/MachImageInfo.h"

void MachImageInfo::uuidHex(char* out) const
{
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < uuidLength; ++i) {
        out[2 * i] = digits[uuid[i] >> 4];
        out[2 * i + 1] = digits[uuid[i] & 15];
    }
    out[2 * uuidLength] = '\0';
}
