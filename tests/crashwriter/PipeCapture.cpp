#include "PipeCapture.h"

#include <thread>
#include <unistd.h>

QByteArray captureThroughPipe(const std::function<void(int fd)>& fn)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    QByteArray got;
    // Read meanwhile, so a large text cannot fill the pipe and block fn.
    std::thread reader([&] {
        char buf[4096];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0)
            got.append(buf, n);
    });
    fn(fds[1]);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    return got;
}
