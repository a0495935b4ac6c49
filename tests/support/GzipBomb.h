#pragma once

#include <QByteArray>

// A gzip stream of `bytes` zero bytes, deflated chunk by chunk so that the
// plain data is never held: a small reply that inflates far past any cap.
QByteArray gzipOfZeros(qint64 bytes);
