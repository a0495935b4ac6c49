#include "albums/settings/AlbumSettingRows.h"

#include "platform/core/Localization.h"

int AlbumSettingRows::numberOfRows(int section) const
{
    switch (section) {
    case Password:
    case Cloud:
        return 1;
    case Binding:
        return m_state.hasPassword ? 1 : 0;
    default:
        return 0;
    }
}

QString AlbumSettingRows::headerTitle(int section) const
{
    switch (section) {
    case Password:
        return L("隐私相册");
    case Cloud:
        return L("云端相册（与Ky网盘使用相同的云端存储）");
    default:
        return QString();
    }
}

int AlbumSettingRows::headerHeight(int section) const
{
    return section == Password || section == Cloud ? kHeaderHeight : 0;
}

int AlbumSettingRows::footerHeight(int section) const
{
    return section == Binding && m_state.hasPassword ? kBindingFooterHeight : 0;
}

int AlbumSettingRows::rowHeight(int section) const
{
    return isAccountPanel(section) ? kAccountPanelHeight : kRowHeight;
}

QString AlbumSettingRows::text(int section) const
{
    switch (section) {
    case Password:
        return m_state.hasPassword ? L("修改密码") : L("未开启");
    case Binding:
        return L("找回密码设置");
    case Cloud:
        return m_state.isLogined ? QString() : L("Ky账号未登录");
    default:
        return QString();
    }
}

QString AlbumSettingRows::detail(int section) const
{
    if (section != Binding)
        return QString();
    return m_state.binding.isEmpty() ? L("未设置") : L("已关联%1").arg(m_state.binding);
}

AlbumSettingRows::Action AlbumSettingRows::action(int section) const
{
    switch (section) {
    case Password:
        return m_state.hasPassword ? Action::ChangePassword : Action::SetPassword;
    case Binding:
        if (!m_state.hasPassword)
            return Action::None;
        if (!m_state.binding.isEmpty())
            return Action::ShowBinding;
        return m_state.hasVerified ? Action::Bind : Action::UnlockThenBind;
    case Cloud:
        return m_state.isLogined ? Action::None : Action::CloudSignIn;
    default:
        return Action::None;
    }
}

int AlbumSettingRows::tapEvent(int section) const
{
    if (section == Password)
        return kPasswordTapEvent;
    if (section == Cloud && !m_state.isLogined)
        return kCloudSignInTapEvent;
    return 0;
}
