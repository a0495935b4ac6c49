#include "shell/AppLaunch.h"

#include <QApplication>

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    return QApplication::exec();
}
