#pragma once

#include <atomic>
#include <functional>
#include <memory>

// The answer slot of one batch item. The item's work keeps it (copies share
// the slot) and answers once, from any thread, whenever it is done. Only the
// first answer counts: later answers, answers after the slot was withdrawn
// and progress after the answer are ignored. A slot nobody answers is
// harmless; the runner's watchdog ends the item.
class BatchCompletion {
public:
    using AnswerSink = std::function<void(bool succeeded)>;
    using ProgressSink = std::function<void(float fraction)>;

    // An inert slot: answering it does nothing.
    BatchCompletion() = default;
    BatchCompletion(unsigned index, AnswerSink answer, ProgressSink progress = {});

    unsigned index() const;

    // Each returns true when this was the item's answer, false when ignored.
    bool succeed() { return finish(true); }
    bool fail() { return finish(false); }
    bool finish(bool succeeded);

    // The item's own progress, 0..1 (a transfer in flight); ignored once answered.
    void progress(float fraction) const;

    bool isAnswered() const;
    // Closes the slot without an answer; true when it was still open.
    bool withdraw();

private:
    struct Slot {
        unsigned index = 0;
        std::atomic<bool> answered{false};
        AnswerSink answer;
        ProgressSink progress;
    };
    std::shared_ptr<Slot> m_slot;
};
