#pragma once

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "analytics/facade/Analytics.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "platform/core/UserDefaults.h"
#include "support/FakeClock.h"
#include "support/TextRecord.h"

#include <QTemporaryDir>

#include <memory>

// A facade of its own over a store in a temporary folder, installed as the
// process-wide one for the test's life.
struct FacadeFixture {
    QTemporaryDir dir;
    AnaSqlitePersistHandler store{dir.path()};
    UserDefaults defaults;
    FakeClock clock;
    AnalyticsOperationCenter operations;
    AnaNetWorkHandlerQueue handlers;
    std::unique_ptr<Analytics> facade;

    FacadeFixture()
    {
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<LocalStrategy>(LocalStrategy::kType);
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<TextRecord>(TextRecord::kType);
        store.initDB(nullptr);
        facade = std::make_unique<Analytics>(
            Analytics::Collaborators{&store, &defaults, &clock, &operations, &handlers});
        Analytics::setDefaultForTesting(facade.get());
    }
    ~FacadeFixture()
    {
        operations.cancelAll();
        operations.waitUntilIdle();
        handlers.cancelAllOperations();
        handlers.waitUntilAllOperationsAreFinished();
        Analytics::setDefaultForTesting(nullptr);
    }
    void setStrategy(const std::function<void(LocalStrategy&)>& change)
    {
        auto s = std::make_shared<LocalStrategy>(*facade->strategy());
        change(*s);
        facade->setStrategy(s);
    }
};
