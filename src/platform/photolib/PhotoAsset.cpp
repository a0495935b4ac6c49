#include "platform/photolib/PhotoAsset.h"

QString PhotoAsset::extension() const
{
    return extensionOfUrl(url());
}

QString PhotoAsset::extensionOfUrl(const QString& url)
{
    const qsizetype eq = url.lastIndexOf('=');
    return eq < 0 ? QString() : url.mid(eq + 1);
}
