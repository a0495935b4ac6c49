#pragma once

#include <QString>
#include <QtGlobal>

// Short texts for numbers.
class PavStringFormat {
public:
    // A byte count with the unit B, KB, MB or GB (steps of 1024): whole
    // bytes below 1 KB ("512B"), otherwise one decimal in the largest unit
    // that keeps the figure below 1024 after rounding ("1.5KB", "1.0MB",
    // "2.3GB"); GB is the largest unit.
    static QString kmgStringForNumber(quint64 bytes);
};
