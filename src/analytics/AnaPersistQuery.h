#pragma once

#include "analytics/AnaError.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

// One statement of the analytics record store: its SQL text and the values
// bound to it, in order. The builders only write text: they never open or
// touch the database (AnaSqlitePersistHandler runs what they build). Values
// always travel as bound parameters; conditions name record columns only.
struct AnaPersistQuery {
    QString sql;
    QVariantList binds;
    // For a query by condition: the payload byte bound and the bytes
    // counted as read already (see AnaSqlitePersistHandler::getObjectsByCondition);
    // with maxBytes > 0 the ninth column is the stored payload's length.
    qint64 maxBytes = 0;
    qint64 takenBytes = 0;

    // The eight record columns every read selects, in their order.
    static constexpr const char* kSelect =
        "select id,type,priority,time,encodeData,encLength,count,md5 from ana_persist ";
    static constexpr const char* kInsert =
        "insert into ana_persist (type,priority,time,encodeData,encLength,count,md5) values (?,?,?,?,?,?,?)";
    static constexpr const char* kReplace =
        "replace into ana_persist (id,type,priority,time,encodeData,encLength,count,md5) values (?,?,?,?,?,?,?,?)";

    static AnaPersistQuery byId(long id);
    static AnaPersistQuery withCount(int count);
    static AnaPersistQuery withCountOfType(int type, int count);
    // types must not be empty.
    static AnaPersistQuery withCountOfTypes(const QList<int>& types, int count);
    static AnaPersistQuery countOfTypes(const QList<int>& types);
    // The rows whose ids are given (numbers or strings); ids not empty.
    static AnaPersistQuery deleteIds(const QVariantList& ids);
    static AnaPersistQuery deleteType(int type);

    // The query for a condition dictionary (keys as AnaSqlitePersistHandler::
    // getObjectsByCondition takes them); false with the error filled for a
    // key or value it does not take.
    static bool byCondition(const QVariantMap& condition, AnaPersistQuery* query, AnaError* error);

    // Whether value is a plain number (integer, floating point or bool).
    static bool isNumber(const QVariant& value);
};
