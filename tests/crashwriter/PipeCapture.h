#pragma once

#include <QByteArray>
#include <functional>

// Runs fn with the write end of a pipe and returns all it wrote.
QByteArray captureThroughPipe(const std::function<void(int fd)>& fn);
