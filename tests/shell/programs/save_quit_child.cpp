// Starts the application as main() does, then queues saves of large
// pictures into its device library, as a batch that saves the cloud album's
// photos does, and prints "queued". It then runs on: SIGTERM ends it as it
// ends the application.

#include "platform/photolib/PhotoLibrary.h"
#include "shell/AppLaunch.h"
#include "support/ImageFixtures.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    // A picture with a long tail after its end marker: each save writes it all.
    QByteArray picture = ImageFixtures::jpeg(64, 48, 1);
    picture.append(QByteArray(24 << 20, '\0'));
    for (int i = 0; i < 8; ++i)
        PhotoLibrary::shared()->saveToLibrary(picture, QStringLiteral("JPG"), QDateTime(),
                                              [](const PhotoLibrary::SaveResult&) {});
    std::printf("queued %lld\n", static_cast<long long>(picture.size()));
    std::fflush(stdout);
    return QApplication::exec();
}
