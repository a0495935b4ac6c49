#pragma once

#include <QString>

// FIFOs planted where a program expects its own files. A reader stuck on one
// (in its open or its read) is let go by release(), so a test that finds a
// worker waiting can still fail and end instead of hanging.
namespace Fifo {

bool make(const QString& path);
// Opens the FIFO for writing without waiting and closes it again: a reader
// waiting in open() gets through, and its read sees the end.
void release(const QString& path);

}
