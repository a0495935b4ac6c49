#pragma once

#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/PhotoLibrary.h"
#include "platform/sys/IdleInhibitBackend.h"
#include "platform/sys/IdleTimer.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QList>

#include <memory>
#include <mutex>

// A photo library whose saves wait for the test to answer them.
class GatedLibrary : public PhotoLibrary {
public:
    struct Save {
        QByteArray bytes;
        QString ext;
        SaveCompletion completion;
    };
    PhotoAssetPtr assetForUrl(const QString&) override { return nullptr; }
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime&, SaveCompletion completion) override;
    // When set, every save is answered at once (true: success).
    void setAutoAnswer(std::optional<bool> ok);
    int pending() const;
    int requested() const;
    QByteArray bytesOf(int i) const;
    // Answers the oldest waiting save.
    void answer(bool ok);

private:
    mutable std::mutex m_mutex;
    QList<Save> m_saves;
    int m_answered = 0;
    std::optional<bool> m_auto;
};

// A private store and a password manager in a fresh home, with a clock the
// test moves and a library whose saves it answers.
namespace ui {
class Canvas;
class Screen;
}

class PrivateAlbumFixture : public ::testing::Test {
protected:
    PrivateAlbumFixture();
    ~PrivateAlbumFixture() override;

    // Stores a camera photo at the clock's time; returns its bytes' seed.
    void storePhoto(int seed = 0);
    void storePhotos(int count);
    PavPhotoModelList listed() { return store->photoes(); }
    void unlock();
    // Shows a canvas whose root is root (default: a plain screen, the
    // presenter); dialogs still open are dismissed before it goes.
    void showCanvas(ui::Screen* root = nullptr);
    // Dismisses the dialogs and destroys the canvas; a test whose screens
    // use its own members calls it from its destructor.
    void closeCanvas();

    TempHome home;
    FakeClock clock{QDateTime(QDate(2024, 6, 15), QTime(10, 0), Qt::UTC)};
    std::shared_ptr<GatedLibrary> library = std::make_shared<GatedLibrary>();
    std::unique_ptr<PavPhotoManager> store;
    std::unique_ptr<PavAlbumPasswordManager> passwords;
    IdleTimer idle;
    std::unique_ptr<ui::Canvas> canvas;
    ui::Screen* presenter = nullptr;
};
