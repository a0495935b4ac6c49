#include "albums/cloud/SignInFields.h"

#include "albums/cloud/CloudLoginInputRules.h"

#include "platform/ui/Alert.h"

#include <QLineEdit>
#include <QPointer>

SignInFields::SignInFields(QLineEdit* account, QLineEdit* password, QObject* parent)
    : QObject(parent), m_account(account), m_password(password)
{
    connect(m_account, &QLineEdit::textEdited, this, &SignInFields::accountEdited);
    connect(m_password, &QLineEdit::textEdited, this, &SignInFields::passwordEdited);
}

void SignInFields::takeTexts()
{
    m_lastAccount = m_account->text();
    m_lastPassword = m_password->text();
}

void SignInFields::clearPassword()
{
    m_password->clear();
    m_lastPassword.clear();
}

void SignInFields::accountEdited(const QString& text)
{
    if (!CloudLoginInputRules::accountAccepts(m_lastAccount, text)) {
        m_account->setText(m_lastAccount);
        return;
    }
    m_lastAccount = text;
    clearPassword();
}

void SignInFields::passwordEdited(const QString& text)
{
    if (!CloudLoginInputRules::passwordAccepts(m_lastPassword, text)) {
        m_password->setText(m_lastPassword);
        return;
    }
    m_lastPassword = text;
}

void SignInFields::focusWhenAnswered(ui::Alert* alert, Field field)
{
    QPointer<QLineEdit> target = field == Field::Account && m_account->isEnabled() ? m_account : m_password;
    // Runs after the alert gave the focus back to what it found.
    alert->setDismissedHandler([target](int) {
        if (target && target->isVisible() && target->isEnabled())
            target->setFocus(Qt::OtherFocusReason);
    });
}
