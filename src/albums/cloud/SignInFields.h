#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

// Keeps the typing rules of a sign-in form's account and password fields
// (CloudLoginInputRules): an edit the rules refuse is undone, and any change
// of the account empties the password. Main thread; lives with the form.
class SignInFields : public QObject {
public:
    SignInFields(QLineEdit* account, QLineEdit* password, QObject* parent);

    // After the form set the fields' texts itself.
    void takeTexts();
    void clearPassword();

private:
    void accountEdited(const QString& text);
    void passwordEdited(const QString& text);

    QLineEdit* m_account;
    QLineEdit* m_password;
    QString m_lastAccount;
    QString m_lastPassword;
};
