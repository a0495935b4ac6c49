#pragma once

// Told after buffered records went to the store.
class AnaPersistListener {
public:
    virtual ~AnaPersistListener() = default;
    virtual void onPersist() = 0;
};
