#pragma once

#include <QByteArray>

// A gzip stream of `bytes` zero bytes, deflated chunk by chunk so that the
// plain data is never held: a small reply that inflates far past any cap.
QByteArray gzipOfZeros(qint64 bytes);
// The same of `head`, then `bytes` copies of `filler`, then `tail`: a bomb
// whose first bytes look like what a reader checks for.
QByteArray gzipPadded(const QByteArray& head, qint64 bytes, char filler, const QByteArray& tail);
