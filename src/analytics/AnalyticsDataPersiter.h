#pragma once

#include "analytics/AnaError.h"
#include "analytics/AnalyticsPersistObject.h"

#include <QList>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <vector>

// What a record store offers the SDK: saving, reading, counting and deleting
// records. Failures fill the error and never throw.
class AnalyticsDataPersiter {
public:
    using Record = std::shared_ptr<AnalyticsPersistObject>;
    using Records = std::vector<Record>;

    virtual ~AnalyticsDataPersiter() = default;

    virtual bool saveObject(AnalyticsPersistObject& record, AnaError* error) = 0;
    virtual bool updateObject(AnalyticsPersistObject& record, AnaError* error) = 0;
    virtual bool saveObjects(const Records& records, AnaError* error) = 0;

    // The list queries report a hard failure through `error`; a row that
    // fails to decode is skipped and its error goes to `rowErrors`.
    virtual Record getObjectById(long id, AnaError* error) = 0;
    virtual Records getObjectsWithCount(int count, AnaError* error, QList<AnaError>* rowErrors = nullptr) = 0;
    virtual Records getObjectsWithCountOfType(int type, int count, AnaError* error,
                                              QList<AnaError>* rowErrors = nullptr) = 0;
    virtual Records getObjectsWithCountOfTypes(const QList<int>& types, int count, AnaError* error,
                                               QList<AnaError>* rowErrors = nullptr) = 0;
    virtual Records getObjectsByCondition(const QVariantMap& condition, AnaError* error,
                                          QList<AnaError>* rowErrors = nullptr) = 0;

    // -1 on any failure.
    virtual int getObjectCount(AnaError* error) = 0;
    virtual int getObjectCountOfType(int type, AnaError* error) = 0;
    virtual int getObjectCountOfTypes(const QList<int>& types, AnaError* error) = 0;

    virtual bool deleteObjectById(long id, AnaError* error) = 0;
    virtual bool deleteObjectsByIds(const QVariantList& ids, AnaError* error) = 0;
    virtual bool deleteObjects(const Records& records, AnaError* error) = 0;
    virtual bool deleteObjectsByType(int type, AnaError* error) = 0;
    virtual bool cleanExpireDatas(AnaError* error) = 0;
};
