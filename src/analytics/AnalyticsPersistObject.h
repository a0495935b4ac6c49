#pragma once

#include "analytics/AnalyticsPersistEncoding.h"

#include <QByteArray>
#include <cstdint>

// The base of every record the analytics store keeps: a few plain columns
// that queries filter on, and the record's own payload (enciphered by the
// store). A bare record has no payload and cannot be saved.
class AnalyticsPersistObject : public AnalyticsPersistEncoding {
public:
    // A bare record has no payload (so it cannot be saved) and takes any.
    QByteArray encodeData() const override { return {}; }
    // The store catches what a subclass's decoder throws.
    bool setEncodeData(const QByteArray&) override { return true; }

    int32_t id() const { return m_id; }
    void setId(int32_t v) { m_id = v; }
    int64_t time() const { return m_time; }
    void setTime(int64_t v) { m_time = v; }
    int32_t encLength() const { return m_encLength; }
    void setEncLength(int32_t v) { m_encLength = v; }
    int32_t priority() const { return m_priority; }
    void setPriority(int32_t v) { m_priority = v; }
    int32_t type() const { return m_type; }
    void setType(int32_t v) { m_type = v; }
    int64_t md5() const { return m_md5; }
    void setMd5(int64_t v) { m_md5 = v; }
    int32_t count() const { return m_count; }
    void setCount(int32_t v) { m_count = v; }

private:
    int32_t m_id = -1;
    int64_t m_time = 0;
    int32_t m_encLength = 0;
    int32_t m_priority = 0;
    int32_t m_type = 0;
    int64_t m_md5 = 0;
    int32_t m_count = 0;
};
