#pragma once

#include <QString>

// The album settings table without widgets: three sections (the private
// album's password, its recovery binding, the cloud album's account), what
// each shows for the current state, and what a tap on a row leads to.
class AlbumSettingRows {
public:
    enum Section { Password = 0, Binding = 1, Cloud = 2 };
    static constexpr int kSectionCount = 3;
    static constexpr int kHeaderHeight = 37;
    static constexpr int kRowHeight = 46;
    static constexpr int kBindingFooterHeight = 26;
    static constexpr int kAccountPanelHeight = 195;

    static constexpr int kPasswordTapEvent = 27124;
    static constexpr int kCloudSignInTapEvent = 27125;
    static constexpr int kSignOutEvent = 27153;

    struct State {
        bool hasPassword = false;
        QString binding;          // the bound account; empty when none
        bool isLogined = false;   // the cloud album is signed in
        bool hasVerified = false; // the private album was unlocked in this run
    };

    enum class Action {
        None,
        ChangePassword,     // lock screen type 0
        SetPassword,        // lock screen type 3
        ShowBinding,        // binding screen type 2
        UnlockThenBind,     // lock screen type 1, then binding type 1
        Bind,               // binding screen type 1
        CloudSignIn,        // the cloud album's sign-in screen
    };

    explicit AlbumSettingRows(State state) : m_state(std::move(state)) {}
    const State& state() const { return m_state; }

    int numberOfRows(int section) const;
    QString headerTitle(int section) const;   // empty: no header
    int headerHeight(int section) const;
    int footerHeight(int section) const;
    // The signed-in cloud row is the account panel.
    bool isAccountPanel(int section) const { return section == Cloud && m_state.isLogined; }
    int rowHeight(int section) const;
    QString text(int section) const;
    QString detail(int section) const;
    bool showsArrow(int section) const { return !isAccountPanel(section); }

    Action action(int section) const;
    // The usage event a tap on the row records (0: none).
    int tapEvent(int section) const;

private:
    State m_state;
};
