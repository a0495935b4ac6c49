#include "albums/binding/RecoveryBindingForm.h"

#include "platform/core/Localization.h"

namespace {
constexpr const char* kLostPasswordHost = "https://aq.padolvo.invalid";
}

RecoveryBindingForm::Texts RecoveryBindingForm::texts(int type, const QString& boundAccount)
{
    Texts t;
    t.title = L("找回密码设置");
    t.firstTip = L("尚未关联Ky号码");
    t.secondTip = L("遗忘密码将无法进入隐私相册，强烈建议绑定Ky，忘记密码\n时可以通过Ky找回密码");
    t.button = L("绑定Ky");
    switch (type) {
    case OfferBinding:
        t.skipButton = true;
        break;
    case ShowBinding:
        t.firstTip = L("已关联Ky号码：") + boundAccount;
        t.secondTip = L("如果要变更，需要先解绑已关联的Ky号码");
        t.button = L("解绑Ky");
        t.accountEditable = false;
        break;
    case Recover:
        t.title = L("找回密码");
        t.firstTip = L("请输入你的关联Ky帐号密码");
        t.secondTip = L("本关联Ky帐号是你预先设置的，输入正确后便可重新\n设置密码");
        t.button = L("确 定");
        t.accountEditable = false;
        break;
    default:
        break;
    }
    return t;
}

QString RecoveryBindingForm::checkInputs(int network, const QString& account, const QString& password,
                                         bool* accountAtFault)
{
    if (accountAtFault)
        *accountAtFault = false;
    if (network == 0)
        return L("网络连接错误，请检查网络");
    bool numeric = false;
    const qint64 number = account.toLongLong(&numeric);
    // Only digits make an account number: signs, spaces and letters do not.
    bool digits = !account.isEmpty();
    for (QChar c : account)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!numeric || !digits || number < kMinAccount || account.size() < kMinAccountLength
        || account.size() > kMaxAccountLength) {
        if (accountAtFault)
            *accountAtFault = true;
        return L("输入Ky号有误,请重新输入");
    }
    if (password.isEmpty())
        return L("密码不能为空");
    if (password.size() > kMaxPasswordLength)
        return L("密码错误！再试一次？");
    return QString();
}

RecoveryBindingForm::Outcome RecoveryBindingForm::outcome(int type, bool success, int tag, const QString& account)
{
    Outcome o;
    if (!success) {
        o.alertTitle = L("提示");
        o.alertButton = L("知道了");
        switch (tag) {
        case 3:
            o.alertMessage = L("请求登录超时");
            break;
        case 2:
            o.alertTitle = L("当前网络不可用");
            o.alertMessage = L("请检查你的网络设置");
            o.alertButton = L("确定");
            break;
        case 1:
            o.alertMessage = L("密码错误！再试一次？");
            o.alertButton = L("找回密码");
            o.alertOtherButton = L("再试一次");
            o.alertTag = kWrongPasswordTag;
            break;
        default:
            o.alertMessage = L("未知网络错误，请稍后重试");
            break;
        }
        return o;
    }
    o.succeeded = true;
    if (type == ShowBinding) {
        o.store = Outcome::Store::Unbind;
        o.alertTitle = L("解绑成功");
        o.alertMessage = L("你已取消找回密码设置！请牢记密码，否则将无法进入隐私相册");
        o.alertButton = L("我知道了");
    } else if (type == OfferBinding || type == Bind) {
        o.store = Outcome::Store::Bind;
        o.alertTitle = L("设置成功");
        o.alertMessage = QString::fromUtf8("若忘记密码，可通过验证关联的Ky%1，进行密码重置").arg(account);
        o.alertButton = L("我知道了");
    }
    return o;
}

QString RecoveryBindingForm::lostPasswordUrl()
{
    return QString::fromLatin1(kLostPasswordHost)
           + QStringLiteral("/lost_pwd?lang=zh_cn&login_type=normal&source_id=2381");
}
