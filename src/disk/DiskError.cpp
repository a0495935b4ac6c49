#include "disk/DiskError.h"

#include "disk/DiskStoreTypes.h"
#include "platform/core/Localization.h"

DiskError diskErrorFor(int code)
{
    const char* text = "操作失败，请稍候重试。";
    switch (code) {
    case DiskStoreRet::kNeedLogin: text = "登录已失效，请重新登录"; break;
    case DiskStoreRet::kNotFound: text = "文件或文件夹不存在"; break;
    case DiskStoreRet::kNoSpace: text = "云端存储空间已满，无法完成备份。"; break;
    case DiskStoreRet::kNotImage: text = "无法生成缩略图"; break;
    case DiskErrorCode::kStopped: text = "操作已取消"; break;
    case DiskErrorCode::kNoStore: text = "网络连接错误，请检查网络。"; break;
    case DiskErrorCode::kIncomplete: text = "下载失败，不能下载没完成上传文件"; break;
    case DiskErrorCode::kRootFolder: text = "文件不能上传到根目录"; break;
    case DiskErrorCode::kSourceUnreadable: text = "无法读取要上传的文件"; break;
    default: break;
    }
    return {code, L(text)};
}
