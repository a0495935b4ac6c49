#pragma once

#include <QString>

// What the password-recovery binding screen shows and decides, without
// widgets: the texts of each screen type, the checks of the two inputs
// before a sign-in, and what a sign-in's answer leads to.
//
// Types: 0 offer to bind (after the first password), 1 bind (settings),
// 2 show and remove the binding, 3 reset a forgotten password.
class RecoveryBindingForm {
public:
    enum Type { OfferBinding = 0, Bind = 1, ShowBinding = 2, Recover = 3 };

    struct Texts {
        QString title;
        QString firstTip;
        QString secondTip;
        QString button;
        bool accountEditable = true;  // else it shows the bound account
        bool skipButton = false;      // "跳过"
    };
    static Texts texts(int type, const QString& boundAccount);

    // The refusal shown before any sign-in ("提示" / text / "知道了"), or a
    // null string when the inputs may go to the sign-in. network: the
    // connection kind, 0 for none. `accountAtFault`, when given, tells
    // whether the account (not the password) is what the refusal is about.
    static QString checkInputs(int network, const QString& account, const QString& password,
                               bool* accountAtFault = nullptr);

    // After a sign-in's answer.
    struct Outcome {
        enum class Store { Nothing, Bind, Unbind };
        Store store = Store::Nothing;
        // The alert to show; no alert when the title and message are empty.
        QString alertTitle;
        QString alertMessage;
        QString alertButton;
        QString alertOtherButton;   // the wrong password's "再试一次"
        int alertTag = 0;
        bool succeeded = false;
    };
    static constexpr int kWrongPasswordTag = 101;
    static Outcome outcome(int type, bool success, int tag, const QString& account);

    static constexpr int kMaxAccountLength = 11;
    static constexpr int kMinAccountLength = 5;
    static constexpr qint64 kMinAccount = 10000;
    static constexpr int kMaxPasswordLength = 16;

    // Where "找回密码" leads: the account service's lost-password page.
    static QString lostPasswordUrl();
};
