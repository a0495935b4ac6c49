#pragma once

#include "albums/store/PavPhotoManager.h"
#include "support/FakePhotoAsset.h"
#include "support/FakePhotoLibrary.h"
#include "support/TempHome.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A store on Documents/photo of a fresh home, with a recording library.
class StoreTestBase : public ::testing::Test {
protected:
    StoreTestBase();

    QString photoDir() const { return m_home.documents() + "/photo"; }
    // Names in the album folder that belong to items (not "photo", "uid"...).
    QStringList itemFiles() const;
    int rowCount() const;
    static std::shared_ptr<FakePhotoAsset> jpegAsset(const QString& url, int seed = 0,
                                                     const QDateTime& date = QDateTime::currentDateTimeUtc());
    // Expects the store to hold no trace of any item.
    void expectEmpty() const;
    void makeReadOnly(bool readOnly);

    TempHome m_home;
    std::shared_ptr<FakePhotoLibrary> m_library = std::make_shared<FakePhotoLibrary>();
    std::unique_ptr<PavPhotoManager> m_store;
};
