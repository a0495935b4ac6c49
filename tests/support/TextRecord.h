#pragma once

#include "analytics/AnalyticsPersistObject.h"

#include <functional>
#include <memory>

// A stored record whose payload is its text. The text "refuse" fails to
// load back; the probe, when set, runs while the store encodes the record
// (that is, while the store is held).
class TextRecord : public AnalyticsPersistObject {
public:
    static constexpr int kType = 2;   // counted as an event record
    QByteArray text = "event";
    std::function<void()> probe;

    QByteArray encodeData() const override
    {
        if (probe)
            probe();
        return text;
    }
    bool setEncodeData(const QByteArray& data) override
    {
        text = data;
        return data != "refuse";
    }
    static std::shared_ptr<TextRecord> make(QByteArray text, int priority = 1)
    {
        auto r = std::make_shared<TextRecord>();
        r->setType(kType);
        r->setPriority(priority);
        r->text = std::move(text);
        return r;
    }
};
