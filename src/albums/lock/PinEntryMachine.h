#pragma once

#include "albums/AlbumUsage.h"

#include <QString>

#include <functional>

class PavAlbumPasswordManager;

// The lock screen's logic without widgets: four-digit entry, checking the
// password, first entry and confirmation of a new one, and the one-off
// outcomes the screen has to carry out. The screen shows title(), message(),
// filledCount() and showsForgotButton() after every Changed event.
class PinEntryMachine {
public:
    enum Type { ChangePassword = 0, EnterPassword = 1, RecoverySetting = 2, FirstPassword = 3 };

    enum class Event {
        Changed,             // title, message, boxes or buttons changed
        SubmitScheduled,     // fourth digit typed: call submit() after 0.3 s
        PassedVerification,  // tell the delegate: the password was entered
        OfferBinding,        // show the binding offer (alert 1023)
        DidSetPassword,      // tell the delegate: a new password is stored
        ReplaceWithBinding,  // the binding screen takes this screen's place and
                             // tells the delegate DidSetPassword when it closes
        PasswordSaved,       // show the "password set" alert
    };
    using Listener = std::function<void(Event)>;

    static constexpr int kDigits = 4;
    static constexpr int kPasswordSetEvent = 27101;

    PinEntryMachine(int type, PavAlbumPasswordManager& manager, Listener listener,
                    AlbumUsage::Recorder usage = AlbumUsage::defaultRecorder());

    int type() const { return m_type; }
    bool showFirstGuide() const { return m_showFirstGuide; }
    void setShowFirstGuide(bool show) { m_showFirstGuide = show; }

    const QString& title() const { return m_title; }
    const QString& message() const { return m_message; }   // empty: hidden
    int filledCount() const { return int(m_entry.size()); }
    bool showsForgotButton() const { return m_showsForgot; }
    bool isVerified() const { return m_isVerified; }
    bool isConfirming() const { return m_isConfirming; }
    bool isSubmitting() const { return m_submitting; }
    bool isFinished() const { return m_finished; }

    // Takes exactly one ASCII digit; anything else (other characters, pastes
    // of several characters) is refused. False when refused.
    bool inputText(const QString& text);
    // Removes the last digit; nothing on an empty entry.
    void deleteBackward();
    // Hands the four digits on, once; does nothing unless a submit is pending.
    void submit();

    // The album locked again: back to the state the screen started in.
    void relock();
    // The recovery account was confirmed: set a new password without the old.
    void recoveryVerified();
    // The binding offer was answered: "立即设置" (true) or "以后再说".
    void answerBindingOffer(bool bindNow);
    // Empties the four boxes (and drops a pending submit).
    void clear();

private:
    void reset();
    QString initialTitle() const;
    QString newPasswordTitle() const;
    void check(const QString& entry);
    void firstEntry(const QString& entry);
    void confirm(const QString& entry);
    void failConfirmation(const QString& message);
    void notify(Event event);

    const int m_initialType;
    int m_type;
    PavAlbumPasswordManager& m_manager;
    Listener m_listener;
    AlbumUsage::Recorder m_usage;
    bool m_showFirstGuide = true;

    QString m_title;
    QString m_message;
    QString m_entry;
    QString m_held;   // first entry of a new password, waiting for confirmation
    bool m_showsForgot = false;
    bool m_isVerified = false;
    bool m_isConfirming = false;
    bool m_submitting = false;
    bool m_offerPending = false;
    bool m_finished = false;
};
