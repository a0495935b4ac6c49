#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The signed-in account's space as the settings' account panel shows it.
class AccountSpace {
public:
    static constexpr int kBarWidth = 331;

    // "used/total", each as K/M/G text.
    static QString amountText(qint64 used, qint64 total);
    // The filled part of the bar, used × 331 / total in 64-bit integers and
    // kept within the bar; nullopt when the total is zero (the bar stays as
    // it was).
    static std::optional<double> filledWidth(qint64 used, qint64 total);
};
