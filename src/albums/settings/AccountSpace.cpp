#include "albums/settings/AccountSpace.h"

#include "Public/PavStringFormat.h"

#include <algorithm>

QString AccountSpace::amountText(qint64 used, qint64 total)
{
    return QStringLiteral("%1/%2").arg(PavStringFormat::kmgStringForNumber(quint64(std::max<qint64>(used, 0))),
                                       PavStringFormat::kmgStringForNumber(quint64(std::max<qint64>(total, 0))));
}

std::optional<double> AccountSpace::filledWidth(qint64 used, qint64 total)
{
    if (total == 0)
        return std::nullopt;
    // Divided first when the product would not fit in 64 bits.
    const qint64 width = used > (INT64_MAX / kBarWidth) ? used / total * kBarWidth : used * kBarWidth / total;
    return double(std::clamp<qint64>(width, 0, kBarWidth));
}
