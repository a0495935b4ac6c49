#pragma once

#include "platform/core/NotificationCenter.h"
#include "platform/photolib/AssetsLibrary.h"

#include <QMetaObject>

#include <memory>

// The holder of the application's one device photo library. Every read of
// the library goes through library(). Its changes are posted as
// "ALAssetsLibraryChangedNotification" on the default centre (nil object).
class KyAssetsLibrary {
public:
    static inline const QString kChangedNotification = QStringLiteral("ALAssetsLibraryChangedNotification");

    static KyAssetsLibrary& shareAssetsLibrary();

    // The library; the first call without one set opens the default folder
    // library (the --library folder, caches in the application home).
    std::shared_ptr<AssetsLibrary> library();
    // Installs the library (the application at start, tests with a fake);
    // it also becomes PhotoLibrary::shared().
    void setLibrary(std::shared_ptr<AssetsLibrary> library);

    // The folder the default library reads (set from --library).
    static void setDefaultRoot(const QString& root);
    static QString defaultRoot();

private:
    KyAssetsLibrary() = default;

    std::shared_ptr<AssetsLibrary> m_library;
    QMetaObject::Connection m_changed;
};
