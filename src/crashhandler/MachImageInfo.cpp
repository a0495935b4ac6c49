#include "crashhandler/MachImageInfo.h"

void MachImageInfo::bytesToHex(const uint8_t* bytes, int count, char* out)
{
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < count; ++i) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 15];
    }
    out[2 * count] = '\0';
}

void MachImageInfo::uuidHex(char* out) const
{
    bytesToHex(uuid, uuidLength, out);
}
