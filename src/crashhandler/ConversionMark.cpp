#include "crashhandler/ConversionMark.h"

#include "crashhandler/FixedText.h"

#include <QFile>

#include <atomic>
#include <cstdio>

namespace {

enum State { Clear = 0, Set = 1, Taken = 2 };

// Static storage, read on the crash path without allocating.
FixedText<4096> g_from;
FixedText<4096> g_to;
std::atomic<int> g_state{Clear};

}

bool ConversionMark::set(const QString& factsPath, const QString& crashedPath)
{
    const QByteArray from = QFile::encodeName(factsPath);
    const QByteArray to = QFile::encodeName(crashedPath);
    if (g_state.load() != Clear || from.size() > qsizetype(g_from.capacity()) ||
        to.size() > qsizetype(g_to.capacity()))
        return false;
    g_from.assign(from.constData(), std::size_t(from.size()));
    g_to.assign(to.constData(), std::size_t(to.size()));
    int clear = Clear;
    return g_state.compare_exchange_strong(clear, Set);
}

void ConversionMark::clear()
{
    int set = Set;
    g_state.compare_exchange_strong(set, Clear);
}

void ConversionMark::countCrash()
{
    int set = Set;
    if (g_state.compare_exchange_strong(set, Taken))
        std::rename(g_from.c_str(), g_to.c_str());
}
