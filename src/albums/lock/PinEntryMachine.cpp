#include "albums/lock/PinEntryMachine.h"

#include "albums/lock/PavAlbumPasswordManager.h"

namespace {
const char* const kWrongPassword = "密码错误，请重新输入";
const char* const kSaveFailed = "设置密码失败，请重试";
const char* const kMismatch = "两次输入密码不一致，请重新输入";
}

PinEntryMachine::PinEntryMachine(int type, PavAlbumPasswordManager& manager, Listener listener,
                                 AlbumUsage::Recorder usage)
    : m_initialType(type), m_type(type), m_manager(manager), m_listener(std::move(listener)),
      m_usage(std::move(usage))
{
    reset();
}

void PinEntryMachine::notify(Event event)
{
    if (m_listener)
        m_listener(event);
}

void PinEntryMachine::reset()
{
    m_type = m_initialType;
    m_isVerified = false;
    m_isConfirming = false;
    m_submitting = false;
    m_offerPending = false;
    m_finished = false;
    m_held.clear();
    m_entry.clear();
    m_message.clear();
    m_showsForgot = m_manager.binding().hasBinded();
    m_title = initialTitle();
}

QString PinEntryMachine::initialTitle() const
{
    switch (m_type) {
    case ChangePassword:
        return m_manager.passwordFile().exists() ? "请输入旧的密码" : "请设置密码";
    case EnterPassword:
        return "请输入密码";
    case RecoverySetting:
        return "找回密码设置";
    default:
        return "请设置密码";
    }
}

QString PinEntryMachine::newPasswordTitle() const
{
    return m_type == FirstPassword ? "请设置密码" : "请设置新的密码";
}

bool PinEntryMachine::inputText(const QString& text)
{
    if (m_submitting || m_finished || m_offerPending)
        return false;
    if (text.size() != 1 || text[0] < QChar('0') || text[0] > QChar('9'))
        return false;
    if (m_entry.size() >= kDigits)
        return false;
    m_entry += text;
    if (m_entry.size() == kDigits) {
        m_submitting = true;
        notify(Event::Changed);
        notify(Event::SubmitScheduled);
        return true;
    }
    notify(Event::Changed);
    return true;
}

void PinEntryMachine::deleteBackward()
{
    if (m_submitting || m_finished || m_offerPending || m_entry.isEmpty())
        return;
    m_entry.chop(1);
    notify(Event::Changed);
}

void PinEntryMachine::clear()
{
    m_entry.clear();
    m_submitting = false;
    notify(Event::Changed);
}

void PinEntryMachine::submit()
{
    if (!m_submitting)
        return;
    m_submitting = false;
    const QString entry = m_entry;
    if (!m_isVerified && m_manager.passwordFile().exists())
        check(entry);
    else if (!m_isConfirming)
        firstEntry(entry);
    else
        confirm(entry);
}

void PinEntryMachine::check(const QString& entry)
{
    m_entry.clear();
    if (!m_manager.verifyPassword(entry)) {
        m_message = kWrongPassword;
        notify(Event::Changed);
        return;
    }
    m_isVerified = true;
    m_message.clear();
    if (m_type == ChangePassword) {
        m_title = "请设置新的密码";
        m_showsForgot = false;
    }
    notify(Event::Changed);
    if (m_type != EnterPassword)
        return;
    const bool offer = !m_manager.binding().hasShownBinding() && m_showFirstGuide;
    m_manager.binding().setHasShownBinding(true);
    if (offer) {
        m_offerPending = true;
        notify(Event::OfferBinding);
    } else {
        m_finished = true;
        notify(Event::PassedVerification);
    }
}

void PinEntryMachine::firstEntry(const QString& entry)
{
    m_held = entry;
    m_isConfirming = true;
    m_title = "请再输入一次";
    m_message.clear();
    m_entry.clear();
    notify(Event::Changed);
}

void PinEntryMachine::failConfirmation(const QString& message)
{
    m_isConfirming = false;
    m_held.clear();
    m_title = newPasswordTitle();
    m_entry.clear();
    m_message = message;
    notify(Event::Changed);
}

void PinEntryMachine::confirm(const QString& entry)
{
    if (entry != m_held) {
        failConfirmation(kMismatch);
        return;
    }
    if (!m_manager.save(entry)) {
        failConfirmation(kSaveFailed);
        return;
    }
    m_held.clear();
    m_finished = true;
    if (m_usage)
        m_usage(kPasswordSetEvent);
    if (m_type != FirstPassword) {
        notify(Event::DidSetPassword);
    } else {
        m_manager.binding().setHasShownBinding(true);
        notify(Event::ReplaceWithBinding);
    }
    m_message.clear();
    notify(Event::Changed);
    notify(Event::PasswordSaved);
}

void PinEntryMachine::answerBindingOffer(bool bindNow)
{
    if (!m_offerPending)
        return;
    m_offerPending = false;
    m_finished = true;
    notify(bindNow ? Event::ReplaceWithBinding : Event::PassedVerification);
}

void PinEntryMachine::recoveryVerified()
{
    reset();
    m_type = ChangePassword;
    m_isVerified = true;
    m_title = "请设置新的密码";
    m_showsForgot = false;
    notify(Event::Changed);
}

void PinEntryMachine::relock()
{
    reset();
    notify(Event::Changed);
}
