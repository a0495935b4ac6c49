#include "StoreTestBase.h"

#include "platform/core/MainThread.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

namespace {

class MoveOutTest : public StoreTestBase {
protected:
    struct Answers {
        QStringList errors;
        bool allOnMainThread = true;
        PavPhotoModelPtr model;
    };

    // Moves the item out and collects what arrives within a generous wait.
    Answers moveOut(PavPhotoManager& store, const PavPhotoModelPtr& item, QObject* target = nullptr)
    {
        auto answers = std::make_shared<Answers>();
        store.decryptPhoto(item, target, [answers](const PavPhotoModelPtr& model, const QString& error) {
            answers->errors.append(error);
            answers->allOnMainThread = answers->allOnMainThread && MainThread::isMainThread();
            answers->model = model;
        });
        waitUntil([&] { return !answers->errors.isEmpty(); }, 3000);
        spinEvents(100);   // a second answer would show up here
        return *answers;
    }

    PavPhotoModelPtr storeOne(const QString& url, const QByteArray& bytes)
    {
        EXPECT_TRUE(m_store->encryptAsset(*FakePhotoAsset::make(url, bytes)));
        return m_store->photoes().first();
    }
};

TEST_F(MoveOutTest, TheLibraryGetsTheOriginalBytesAndOneSuccess)
{
    const QByteArray gif = ImageFixtures::encode(ImageFixtures::pattern(120, 90), "gif");
    const PavPhotoModelPtr item = storeOne("assets-library://asset/asset.GIF?id=1&ext=GIF", gif);

    const Answers answers = moveOut(*m_store, item);
    EXPECT_EQ(answers.errors, QStringList({QString()}));
    EXPECT_TRUE(answers.allOnMainThread);
    EXPECT_EQ(answers.model, item);
    ASSERT_EQ(m_library->saved().size(), 1);
    EXPECT_EQ(m_library->saved()[0].bytes, gif);
    EXPECT_EQ(m_library->saved()[0].ext, "GIF");
    EXPECT_EQ(m_library->saved()[0].date, item->photoCreateTime());

    // The item stays until the caller deletes it.
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(m_store->deletePhoto(*item));
    expectEmpty();
}

TEST_F(MoveOutTest, ACameraPhotoGoesOutUnderTheExtensionOfItsContent)
{
    ASSERT_TRUE(m_store->encryptImage(ImageFixtures::pattern(80, 60)));
    const PavPhotoModelPtr item = m_store->photoes().first();
    EXPECT_EQ(moveOut(*m_store, item).errors, QStringList({QString()}));
    ASSERT_EQ(m_library->saved().size(), 1);
    EXPECT_EQ(m_library->saved()[0].ext, "JPG");
    EXPECT_EQ(m_library->saved()[0].bytes, PavPhotoManager::decryptPhotoToData(item->photoUUID()));
}

TEST_F(MoveOutTest, EveryFailureAnswersOnceWithAnErrorAndKeepsTheItem)
{
    const PavPhotoModelPtr item = storeOne("u", ImageFixtures::jpeg(64, 64));
    const QString full = m_store->getPhotoFullPath(*item);

    // The library refuses.
    m_library->setSaveMode(FakePhotoLibrary::SaveMode::Fail);
    Answers answers = moveOut(*m_store, item);
    ASSERT_EQ(answers.errors.size(), 1);
    EXPECT_FALSE(answers.errors[0].isEmpty());
    EXPECT_TRUE(answers.allOnMainThread);
    m_library->setSaveMode(FakePhotoLibrary::SaveMode::Succeed);

    // The file does not decipher (bad length trailer), then is missing.
    const QByteArray good = ImageFixtures::readFile(full);
    ASSERT_TRUE(ImageFixtures::writeFile(full, QByteArray(good.size(), '\xEE')));
    answers = moveOut(*m_store, item);
    ASSERT_EQ(answers.errors.size(), 1);
    EXPECT_FALSE(answers.errors[0].isEmpty());
    QFile::remove(full);
    answers = moveOut(*m_store, item);
    ASSERT_EQ(answers.errors.size(), 1);
    EXPECT_FALSE(answers.errors[0].isEmpty());
    EXPECT_TRUE(m_library->saved().isEmpty());
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(QFile::exists(full + ".thumb"));

    // No library at all.
    ImageFixtures::writeFile(full, good);
    PavPhotoManager noLibrary(photoDir(), nullptr);
    answers = moveOut(noLibrary, item);
    ASSERT_EQ(answers.errors.size(), 1);
    EXPECT_FALSE(answers.errors[0].isEmpty());
}

TEST_F(MoveOutTest, AnAnswerForADestroyedTargetIsDropped)
{
    const PavPhotoModelPtr item = storeOne("u", ImageFixtures::jpeg(64, 64));
    auto* target = new QObject;
    int calls = 0;
    m_store->decryptPhoto(item, target, [&calls](const PavPhotoModelPtr&, const QString&) { ++calls; });
    delete target;
    spinEvents(200);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(m_library->saved().size(), 1);
}

TEST_F(MoveOutTest, FromAWorkerThreadIntoTheFolderLibrary)
{
    QTemporaryDir libraryDir;
    auto library = std::make_shared<FolderPhotoLibrary>(libraryDir.path());
    PavPhotoManager store(photoDir(), library);
    const QByteArray png = ImageFixtures::encode(ImageFixtures::pattern(90, 90), "png");
    ASSERT_TRUE(store.encryptAsset(*FakePhotoAsset::make("p", png)));
    const PavPhotoModelPtr item = store.photoes().first();

    QString error = "none yet";
    bool onMain = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        store.decryptPhoto(item, nullptr, [&](const PavPhotoModelPtr&, const QString& e) {
            error = e;
            onMain = MainThread::isMainThread();
        });
    }));
    worker->start();
    worker->wait();
    ASSERT_TRUE(waitUntil([&] { return error != "none yet"; }));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(onMain);
    const QStringList saved = QDir(libraryDir.path()).entryList(QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved[0].endsWith(".PNG"));
    EXPECT_EQ(ImageFixtures::readFile(libraryDir.path() + "/" + saved[0]), png);
}

}
