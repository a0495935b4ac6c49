#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
namespace ui {
class Alert;
}

// Keeps the typing rules of a sign-in form's account and password fields
// (CloudLoginInputRules): an edit the rules refuse is undone, and any change
// of the account empties the password; once a refusal or a failed sign-in
// is answered, the field to correct has the keyboard again. Main thread;
// lives with the form.
class SignInFields : public QObject {
public:
    SignInFields(QLineEdit* account, QLineEdit* password, QObject* parent);

    // After the form set the fields' texts itself.
    void takeTexts();
    void clearPassword();

    enum class Field { Account, Password };
    // When `alert` goes away, `field` takes the focus (the password field
    // when the account field does not take input), so typing goes on in it.
    // The form gave its focus up when it submitted; the alert can only give
    // back what it found.
    void focusWhenAnswered(ui::Alert* alert, Field field);

private:
    void accountEdited(const QString& text);
    void passwordEdited(const QString& text);

    QLineEdit* m_account;
    QLineEdit* m_password;
    QString m_lastAccount;
    QString m_lastPassword;
};
