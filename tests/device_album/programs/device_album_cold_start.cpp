// Looks at the device album on a cold start: fills a library folder with
// photos (once), launches the application on it with a fresh home and saves
// a picture of the window every half second, with a line per picture saying
// how many photo tiles are on screen and how many of them show a thumbnail
// (then, and at the worst moment of a check every 50 ms since the last
// picture), and how many times the grid's tiles were rebuilt.
//
//   device_album_cold_start OUT_DIR [PHOTOS=2000] [SECONDS=10] [HOME]
//
// Without HOME each run starts from a fresh home (no thumbnails cached);
// with it, runs after the first start with the thumbnails the first made.
// Half-way through, a new photo arrives in the folder (as from a camera), so
// the album lists again while its grid is full; it is removed at the end.
// OUT_DIR/library holds the photos; OUT_DIR/frame_NN.png the pictures. Run it
// on the offscreen platform (QT_QPA_PLATFORM=offscreen).
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageView.h"
#include "shell/AppDelegate.h"
#include "shell/LaunchOptions.h"
#include "support/ImageFixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// The newest photos, those the grid shows first, are camera-sized, so their
// thumbnails take as long to make as a real camera roll's.
QByteArray photo(int i)
{
    const bool camera = i < 60;
    QImage img(camera ? 4000 : 800, camera ? 3000 : 600, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(), QColor::fromHsv((i * 37) % 360, 110, 230));
    p.setBrush(QColor::fromHsv((i * 91) % 360, 220, 250));
    p.setPen(Qt::NoPen);
    p.scale(img.width() / 800.0, img.height() / 600.0);
    p.drawEllipse(QPoint(200 + (i * 53) % 400, 300), 150, 150);
    p.setPen(Qt::black);
    p.setFont(QFont(QStringLiteral("Sans"), 90, QFont::Bold));
    p.drawText(QRect(0, 0, 800, 600), Qt::AlignCenter, QString::number(i));
    p.end();
    return ImageFixtures::encode(img, "jpeg", 85);
}

// Photos over the last months, about twenty a day, newest today.
void fill(const QString& folder, int count)
{
    QDir().mkpath(folder);
    if (QDir(folder).entryList(QDir::Files).size() >= count)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < count; ++i) {
        const QDateTime when = now.addSecs(-i * 3600LL * 24 / 20);
        const QByteArray date = when.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1();
        ImageFixtures::writeFile(QStringLiteral("%1/IMG_%2.JPG").arg(folder).arg(i, 5, 10, QLatin1Char('0')),
                                 ImageFixtures::withExif(photo(i), date, "", "", 1));
    }
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: device_album_cold_start OUT_DIR [PHOTOS] [SECONDS]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int photos = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
    const QString library = out + QStringLiteral("/library");
    fill(library, photos);

    QTemporaryDir freshHome;
    const QString home = argc > 4 ? QString::fromLocal8Bit(argv[4]) : freshHome.path();
    LaunchOptions options;
    QString message;
    const QStringList args{QStringLiteral("padolvo"), QStringLiteral("--home"), home,
                           QStringLiteral("--library"), library};
    if (LaunchOptions::parse(args, &options, &message) != LaunchOptions::Parse::Run) {
        std::fputs(message.toLocal8Bit().constData(), stderr);
        return 2;
    }
    options.apply();
    AppDelegate delegate;
    if (!delegate.didFinishLaunching())
        return 1;

    auto count = [&](int* onScreen, int* withThumbnail) {
        ui::Canvas* window = delegate.window();
        *onScreen = 0;
        *withThumbnail = 0;
        for (auto* tile : window->findChildren<PavSystemAssetView_iPad*>()) {
            if (!tile->isVisibleTo(window) || !tile->visibleRegion().boundingRect().isValid())
                continue;
            ++*onScreen;
            *withThumbnail += tile->thumbnailView()->image().isNull() ? 0 : 1;
        }
    };
    int worst = -1;
    int rebuilds = 0;
    bool seenTiles = false;
    int lastWithThumbnail = 0;
    QElapsedTimer clock;
    clock.start();
    QPointer<QWidget> firstTile;
    QTimer checks;
    checks.setInterval(50);
    QObject::connect(&checks, &QTimer::timeout, [&] {
        int onScreen = 0, withThumbnail = 0;
        count(&onScreen, &withThumbnail);
        auto tiles = delegate.window()->findChildren<PavSystemAssetView_iPad*>();
        // The oldest tile goes only when the grid is rebuilt (nothing scrolls).
        if (!tiles.isEmpty() && tiles.first() != firstTile) {
            if (seenTiles) {
                ++rebuilds;
                std::printf("  %5.2f s  grid rebuilt\n", clock.elapsed() / 1000.0);
            }
            seenTiles = true;
            firstTile = tiles.first();
        }
        if (onScreen > 0 && (worst < 0 || withThumbnail < worst))
            worst = withThumbnail;
        // Pictures never go away once shown: say when they do.
        if (withThumbnail < lastWithThumbnail)
            std::printf("  %5.2f s  pictures dropped from %d to %d of %d\n", clock.elapsed() / 1000.0,
                        lastWithThumbnail, withThumbnail, onScreen);
        std::fflush(stdout);
        lastWithThumbnail = withThumbnail;
    });
    checks.start();

    const QString arrival = library + QStringLiteral("/NEW_0001.JPG");
    int frame = 0;
    QTimer shots;
    shots.setInterval(500);
    QObject::connect(&shots, &QTimer::timeout, [&] {
        ui::Canvas* window = delegate.window();
        const QString file = QStringLiteral("%1/frame_%2.png").arg(out).arg(frame, 2, 10, QLatin1Char('0'));
        window->grab().save(file);
        int onScreen = 0, withThumbnail = 0;
        count(&onScreen, &withThumbnail);
        std::printf("%5.2f s  %s  tiles %d  with thumbnail %d  (fewest since last %d)  rebuilds %d\n",
                    clock.elapsed() / 1000.0, qPrintable(file), onScreen, withThumbnail, worst, rebuilds);
        worst = -1;
        std::fflush(stdout);
        if (frame == seconds) {
            ImageFixtures::writeFile(arrival, ImageFixtures::withExif(photo(0), QDateTime::currentDateTime()
                .toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")).toLatin1(), "", "", 1));
            std::printf("  %5.2f s  a new photo arrived\n", clock.elapsed() / 1000.0);
        }
        if (++frame > seconds * 2) {
            checks.stop();
            app.quit();
        }
    });
    shots.start();
    const int status = QApplication::exec();
    QFile::remove(arrival);
    return status;
}
