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
    struct Slot;

public:
    // While it lives, the item waits for something that is not its own work
    // (the private album's index being healed): the watchdog does not end the
    // item meanwhile, and gives it its whole time again once the wait is over.
    // Any thread; one at a time per item.
    class Wait {
    public:
        Wait(Wait&& other) noexcept : m_slot(std::move(other.m_slot)) {}
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;
        Wait& operator=(Wait&&) = delete;
        ~Wait();

    private:
        friend class BatchCompletion;
        explicit Wait(std::shared_ptr<Slot> slot);
        std::shared_ptr<Slot> m_slot;
    };

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

    [[nodiscard]] Wait beginWait() const;
    // Changes when a wait begins and when it ends; odd while one lasts.
    unsigned waitMark() const;

private:
    struct Slot {
        unsigned index = 0;
        std::atomic<bool> answered{false};
        std::atomic<unsigned> waits{0};
        AnswerSink answer;
        ProgressSink progress;
    };
    std::shared_ptr<Slot> m_slot;
};
