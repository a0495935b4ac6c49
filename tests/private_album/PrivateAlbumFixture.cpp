#include "PrivateAlbumFixture.h"

#include "albums/widgets/ImageLoadPool.h"
#include "platform/core/MainThread.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/ShowCanvas.h"

void GatedLibrary::saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime&,
                                 SaveCompletion completion)
{
    std::optional<bool> automatic;
    {
        std::lock_guard lock(m_mutex);
        m_saves.append(Save{bytes, ext, completion});
        automatic = m_auto;
    }
    if (automatic)
        answer(*automatic);
}

void GatedLibrary::setAutoAnswer(std::optional<bool> ok)
{
    std::lock_guard lock(m_mutex);
    m_auto = ok;
}

int GatedLibrary::pending() const
{
    std::lock_guard lock(m_mutex);
    return int(m_saves.size()) - m_answered;
}

int GatedLibrary::requested() const
{
    std::lock_guard lock(m_mutex);
    return int(m_saves.size());
}

QByteArray GatedLibrary::bytesOf(int i) const
{
    std::lock_guard lock(m_mutex);
    return m_saves.value(i).bytes;
}

void GatedLibrary::answer(bool ok)
{
    SaveCompletion completion;
    {
        std::lock_guard lock(m_mutex);
        if (m_answered >= m_saves.size())
            return;
        completion = m_saves[m_answered++].completion;
    }
    SaveResult result;
    if (!ok)
        result.error = QStringLiteral("library refused");
    MainThread::post([completion, result] { completion(result); });
}

PrivateAlbumFixture::PrivateAlbumFixture()
{
    ui::Animations::setEnabled(false);
    store = std::make_unique<PavPhotoManager>(PavPhotoManager::defaultPhotoDir(), library, nullptr, &clock);
    passwords = std::make_unique<PavAlbumPasswordManager>();
}

PrivateAlbumFixture::~PrivateAlbumFixture()
{
    closeCanvas();
    ui::Animations::setEnabled(true);
}

void PrivateAlbumFixture::closeCanvas()
{
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        d->dismissWithClickedButtonIndex(d->cancelButtonIndex(), false);
    ImageLoadPool::shared().waitForDone();
    spinEvents(20);
    canvas.reset();
}

void PrivateAlbumFixture::showCanvas(ui::Screen* root)
{
    if (!root)
        root = presenter = new ui::Screen;
    EXPECT_TRUE(showOnCanvas(canvas, root));
}

void PrivateAlbumFixture::storePhoto(int seed)
{
    ASSERT_TRUE(store->encryptImage(ImageFixtures::pattern(64, 48, seed)));
}

void PrivateAlbumFixture::storePhotos(int count)
{
    for (int i = 0; i < count; ++i) {
        storePhoto(i);
        clock.advanceSeconds(60);
    }
}

void PrivateAlbumFixture::unlock()
{
    ASSERT_TRUE(passwords->save(QStringLiteral("1234")));
    ASSERT_TRUE(passwords->hasVerified());
}
