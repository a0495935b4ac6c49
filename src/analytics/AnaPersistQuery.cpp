#include "analytics/AnaPersistQuery.h"

#include "analytics/ANAPersistPropRange.h"
#include "analytics/AnaErrorPopulator.h"
#include "analytics/AnaSqlitePersistHandler.h"

namespace {

// The same select with the stored payload's length last, which SQLite tells
// without loading the payload.
const char* const kSelectSized =
    "select id,type,priority,time,encodeData,encLength,count,md5,length(encodeData) from ana_persist ";
const char* const kDeletePrefix = "delete from ana_persist where 1=1 and ";
const char* const kColumns[] = {"id", "type", "priority", "time", "encLength", "count", "md5"};

bool fail(AnaError* error, int code, const QString& description)
{
    AnaErrorPopulator::populateError(error, code, description);
    return false;
}

bool isRecordColumn(const QString& name)
{
    for (const char* column : kColumns)
        if (name == QLatin1String(column))
            return true;
    return false;
}

// " id = ? " for one id; " ( id = ? or ", " id =  ? or ", " id = ? )" for more.
QString idListSql(qsizetype count)
{
    QString sql = QString::fromLatin1(kDeletePrefix) + " ";
    if (count == 1)
        return sql + " id = ? ";
    for (qsizetype i = 0; i < count; ++i)
        sql += i == 0 ? " ( id = ? or " : (i + 1 == count ? " id = ? )" : " id =  ? or ");
    return sql;
}

QString typeListSql(const QString& prefix, qsizetype count)
{
    QString sql = prefix;
    for (qsizetype i = 0; i < count; ++i)
        sql += i == 0 ? " type = ? " : " or type = ? ";
    return sql;
}

QVariantList typeBinds(const QList<int>& types)
{
    QVariantList binds;
    for (int type : types)
        binds << type;
    return binds;
}

// The condition on one column: a list of numbers or strings (any of them),
// one number or string, or a range.
bool columnCondition(const QString& column, const QVariant& value, QString* sql, QVariantList* binds,
                     AnaError* error)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        const QVariantList items = value.toList();
        if (items.isEmpty())
            return fail(error, 5, "createSqlByArray meet nil arr");
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (!AnaPersistQuery::isNumber(items[i]) && items[i].typeId() != QMetaType::QString)
                return fail(error, 5, "createSqlByArray meet error arr,arr object type error,must be nsnumber or nsstring");
            *sql += i == 0 ? QString(" ( %1 = ? ").arg(column) : QString(" or %1 = ? ").arg(column);
            *binds << items[i];
        }
        *sql += " )";
        return true;
    }
    if (value.typeId() == QMetaType::QString || AnaPersistQuery::isNumber(value)) {
        *sql += QString(" %1 = ? ").arg(column);
        *binds << value;
        return true;
    }
    if (value.canConvert<ANAPersistPropRange>() && value.typeId() == qMetaTypeId<ANAPersistPropRange>()) {
        const auto range = value.value<ANAPersistPropRange>();
        if (!range.mix && !range.max)
            return fail(error, 5, "createSqlByAnaRangey meet error range is ni");
        QString text = "(";
        if (range.mix) {
            text += QString(" %1 >= ? ").arg(column);
            *binds << *range.mix;
        }
        if (range.max) {
            text += QString(" %1 %2 <= ? ").arg(text.size() > 1 ? "and" : "", column);
            *binds << *range.max;
        }
        *sql += text + " )";
        return true;
    }
    return fail(error, 5, "createPropSQL meet error error value type not support");
}

}

bool AnaPersistQuery::isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

AnaPersistQuery AnaPersistQuery::byId(long id)
{
    return {QString(kSelect) + "where " + " id = ? ", {qint64(id)}};
}

AnaPersistQuery AnaPersistQuery::withCount(int count)
{
    return {QString(kSelect) + "limit ?", {count}};
}

AnaPersistQuery AnaPersistQuery::withCountOfType(int type, int count)
{
    return {QString(kSelect) + "where type = ? limit ?", {type, count}};
}

AnaPersistQuery AnaPersistQuery::withCountOfTypes(const QList<int>& types, int count)
{
    return {typeListSql(QString(kSelect) + "where ", types.size()) + " limit ?", typeBinds(types) << count};
}

AnaPersistQuery AnaPersistQuery::countOfTypes(const QList<int>& types)
{
    return {typeListSql("select count(*) from ana_persist where ", types.size()), typeBinds(types)};
}

AnaPersistQuery AnaPersistQuery::deleteIds(const QVariantList& ids)
{
    return {idListSql(ids.size()), ids};
}

AnaPersistQuery AnaPersistQuery::deleteType(int type)
{
    return {QString::fromLatin1(kDeletePrefix) + "  type = ? ", {type}};
}

bool AnaPersistQuery::byCondition(const QVariantMap& condition, AnaPersistQuery* query, AnaError* error)
{
    const auto bytes = [&condition](const char* key) {
        return isNumber(condition.value(key)) ? condition.value(key).toLongLong() : 0;
    };
    AnaPersistQuery built;
    built.maxBytes = bytes(AnaSqlitePersistHandler::kMaxBytesKey);
    built.takenBytes = bytes(AnaSqlitePersistHandler::kTakenBytesKey);
    built.sql = QString(built.maxBytes > 0 ? kSelectSized : kSelect) + "where " + " 1=1 ";
    int limit = 0;
    for (auto it = condition.cbegin(); it != condition.cend(); ++it) {
        if (it.key() == AnaSqlitePersistHandler::kMaxBytesKey || it.key() == AnaSqlitePersistHandler::kTakenBytesKey)
            continue;
        if (it.key() == "limit") {
            if (isNumber(it.value()))
                limit = it.value().toInt();
            continue;
        }
        if (!isRecordColumn(it.key()))
            return fail(error, 5, "createQuerySqlByCondition:dic key must be a record column");
        QString part;
        if (!columnCondition(it.key(), it.value(), &part, &built.binds, error))
            return false;
        built.sql += QString(" and %1 ").arg(part);
    }
    if (limit >= 1) {
        built.sql += " limit ?";
        built.binds << limit;
    }
    *query = std::move(built);
    return true;
}
