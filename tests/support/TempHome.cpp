#include "support/TempHome.h"

#include "platform/core/AppHome.h"
#include "platform/core/UserDefaults.h"

TempHome::TempHome()
{
    AppHome::setCurrent(m_dir.path());
    UserDefaults::resetStandardUserDefaults(AppHome::current().preferences() + "/defaults.json");
}

TempHome::~TempHome()
{
    UserDefaults::resetStandardUserDefaults(QString());
}

QString TempHome::documents() const { return AppHome::current().documents(); }
QString TempHome::caches() const { return AppHome::current().caches(); }
