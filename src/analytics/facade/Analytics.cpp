#include "analytics/facade/Analytics.h"

#include "analytics/AnaModel.h"
#include "analytics/AnaNetworkUtil.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "analytics/AnalyticsTimes.h"
#include "analytics/buffer/AnaLocalDataRecordInterface.h"
#include "analytics/facade/AnaModule.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/mixupload/AnaMixDataPersistDataMaxSizeChecker.h"
#include "analytics/mixupload/AnaMixDataUploadHander.h"
#include "analytics/mixupload/AnaMixDataUploader.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/strategy/AnaInitialQueryHandler.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/traffic/AnaNetFlowRecorder.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "platform/core/Clock.h"
#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

std::atomic<Analytics*> g_override{nullptr};

constexpr int kNetInfoIntervalMs = 60 * 1000;
constexpr int kRefreshIntervalMs = 21600 * 1000;

bool failed(const AnaError& error)
{
    return error.code != 0 || !error.description.isEmpty();
}

}

Analytics::Analytics() : Analytics(Collaborators{}) {}

Analytics::Analytics(Collaborators collaborators)
    : m_collaborators(collaborators), m_strategy(LocalStrategy::getObjWithDefaultSet()),
      m_timerHost(std::make_unique<QObject>())
{
    if (auto* app = QCoreApplication::instance())
        m_timerHost->moveToThread(app->thread());
}

Analytics::~Analytics()
{
    if (MainThread::isMainThread() || !QCoreApplication::instance())
        m_timerHost.reset();
    else
        m_timerHost.release()->deleteLater();
}

Analytics& Analytics::getDefualtAnalytics()
{
    if (Analytics* facade = g_override.load())
        return *facade;
    static Analytics facade;
    return facade;
}

void Analytics::setDefaultForTesting(Analytics* facade)
{
    g_override = facade;
}

std::shared_ptr<const LocalStrategy> Analytics::strategy() const
{
    std::lock_guard lock(m_mutex);
    return m_strategy;
}

void Analytics::setStrategy(std::shared_ptr<const LocalStrategy> strategy)
{
    if (!strategy)
        return;
    std::lock_guard lock(m_mutex);
    m_strategy = std::move(strategy);
}

std::vector<std::shared_ptr<AnaModule>> Analytics::anaModules() const
{
    std::lock_guard lock(m_mutex);
    return m_modules;
}

void Analytics::addModule(std::shared_ptr<AnaModule> module)
{
    std::lock_guard lock(m_mutex);
    if (module)
        m_modules.push_back(std::move(module));
}

std::shared_ptr<AnaUploadConfirmer> Analytics::uploadConfirmer() const
{
    std::lock_guard lock(m_mutex);
    return m_confirmer;
}

void Analytics::setUploadConfirmer(std::shared_ptr<AnaUploadConfirmer> confirmer)
{
    std::lock_guard lock(m_mutex);
    m_confirmer = std::move(confirmer);
}

int64_t Analytics::startTime() { return AnalyticsTimes::startTime.load(); }
int64_t Analytics::serverInitTime() { return AnalyticsTimes::serverInitTime.load(); }
int64_t Analytics::backGroundTime() { return AnalyticsTimes::backGroundTime.load(); }
int64_t Analytics::resumeTime() { return AnalyticsTimes::resumeTime.load(); }

void Analytics::markServerInitTime()
{
    int64_t unset = 0;
    const int64_t now = clock().now().toSecsSinceEpoch() * 1000;
    AnalyticsTimes::serverInitTime.compare_exchange_strong(unset, now);
}

AnaSqlitePersistHandler& Analytics::store()
{
    return m_collaborators.store ? *m_collaborators.store : AnaSqlitePersistHandler::getDefaultHandler();
}

UserDefaults& Analytics::defaults()
{
    return m_collaborators.defaults ? *m_collaborators.defaults : UserDefaults::standardUserDefaults();
}

const Clock& Analytics::clock() const
{
    return m_collaborators.clock ? *m_collaborators.clock : Clock::system();
}

AnalyticsOperationCenter& Analytics::operations()
{
    return m_collaborators.operations ? *m_collaborators.operations : AnalyticsOperationCenter::sharedInstance();
}

AnaNetWorkHandlerQueue& Analytics::handlers()
{
    return m_collaborators.handlers ? *m_collaborators.handlers : AnaNetWorkHandlerQueue::sharedInstance();
}

void Analytics::switchModulesOff()
{
    std::lock_guard lock(m_mutex);
    auto copy = std::make_shared<LocalStrategy>(*m_strategy);
    copy->enableSpeedTrack = copy->enableEventRecord = copy->enableCrashReport = false;
    m_strategy = copy;
}

bool Analytics::enableAnlytics(int workType, const QString& uin, const QString& gatewayIP)
{
    std::lock_guard lock(m_mutex);
    const int current = m_status.load();
    if (current == 1 || current == 2 || current == 3)
        return true;   // already enabled: start-up is not queued twice
    m_status = 1;
    AnalyticsTimes::startTime = clock().now().toSecsSinceEpoch() * 1000;
    m_analyticsEnabled = true;
    m_workType = workType;
    AnaModel& model = AnaModel::getDefualtAnaModel();
    model.setQua(uin.isEmpty() ? QStringLiteral("10000") : uin);
    model.setGatewayIP(gatewayIP.isEmpty() ? QStringLiteral("unknown") : gatewayIP);
    if (!m_enableBeforeServerStrategy)
        switchModulesOff();
    AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<LocalStrategy>(LocalStrategy::kType);
    operations().addOperation([this] { initLocalService(); });
    return true;
}

bool Analytics::initLocalService()
{
    checkDBEnv();
    onAsynRefreshNetInfoCallBack();
    startRefreshNetfnfoTimer();
    auto& checker = AnaMixDataPersistDataMaxSizeChecker::sharedInstance();
    AnaLocalDataRecordInterface::sharedInstance().setPersistListener(&checker);
    switch (m_workType.load()) {
    case 1: {
        checker.setMaxSizeDataListener(nullptr);
        {
            std::lock_guard lock(m_mutex);
            auto copy = std::make_shared<LocalStrategy>(*m_strategy);
            copy->enableEventRecord = copy->enableCrashReport = true;
            m_strategy = copy;
        }
        for (const auto& module : anaModules())
            module->checkAndEnable();
        m_status = 2;
        break;
    }
    case 0:
        checker.setMaxSizeDataListener(&AnaMixDataUploader::sharedInstance());
        handlers().registHandlerClass<AnaInitialQueryHandler>(kInitialQueryHandlerKey);
        handlers().registHandlerClass<AnaMixDataUploadHander>(kMixDataUploadHanderKey);
        fetchLocalStrategy();
        // Before the query goes out: a fast answer's 3 must not be overwritten.
        m_status = 2;
        fetchServerStrategy();
        MainThread::after(0, m_timerHost.get(), [this] { doRefreshStrategy(); });
        if (m_sdkMonitorEnabled) {
            AnaNetFlowRecorder::sharedInstance().enable(true);
            AnaNetFlowRecorder::sharedInstance().loadData();
        }
        break;
    default:
        m_status = 4;
        break;
    }
    return true;
}

void Analytics::startRefreshNetfnfoTimer()
{
    // Dropped with the facade when it goes before the main loop runs it.
    if (MainThread::isMainThread())
        initTimer();
    else
        MainThread::after(0, m_timerHost.get(), [this] { initTimer(); });
}

void Analytics::initTimer()
{
    if (m_netInfoTimer)
        return;
    m_netInfoTimer = new QTimer(m_timerHost.get());
    m_netInfoTimer->setInterval(kNetInfoIntervalMs);
    QObject::connect(m_netInfoTimer, &QTimer::timeout, m_timerHost.get(), [this] { onAsynRefreshNetInfoCallBack(); });
    m_netInfoTimer->start();
}

void Analytics::onAsynRefreshNetInfoCallBack()
{
    std::lock_guard lock(m_mutex);
    if (operations().getRefreshNetinfoOperationCount() == 0)
        operations().addRefreshNetinfoThreadOperation([this] { refreshNetInfo(); });
}

void Analytics::refreshNetInfo()
{
    AnaModel::getDefualtAnaModel().setApn(AnaNetworkUtil::getAPN());
}

long Analytics::getVersionHash() const
{
    auto& self = const_cast<Analytics&>(*this);
    return long(self.defaults().doubleForKey(kVersionHashKey));
}

void Analytics::saveVersionHash(long hash)
{
    if (hash != 0)
        defaults().setDouble(kVersionHashKey, double(hash));
}

void Analytics::checkDBEnv()
{
    const long stored = getVersionHash();
    const long build = LocalStrategy::getDefaultId();
    if (stored != 0 && stored == build)
        return;
    saveVersionHash(build);
    // A new SDK build or application version drops every stored record.
    store().rebuildDBTables(nullptr);
}

bool Analytics::fetchLocalStrategy()
{
    AnaError error;
    auto record = store().getLocalStrategy(&error);
    if (failed(error)) {
        // Only a missing table is rebuilt; a busy database or one bad row
        // keeps the defaults and every stored record.
        if (!store().tableExists(QString::fromLatin1(AnaSqlitePersistHandler::kTableName)))
            store().rebuildDBTables(nullptr);
        return false;
    }
    std::shared_ptr<LocalStrategy> loaded;
    if (auto stored = std::dynamic_pointer_cast<LocalStrategy>(record))
        loaded = std::make_shared<LocalStrategy>(*stored);
    else
        loaded = std::make_shared<LocalStrategy>(*strategy());
    loaded->checkSafe();
    if (!m_enableBeforeServerStrategy)
        loaded->enableSpeedTrack = loaded->enableEventRecord = loaded->enableCrashReport = false;
    setStrategy(loaded);
    for (const auto& module : anaModules())
        module->executeLocalStrategyInit();
    return true;
}

bool Analytics::fetchServerStrategy()
{
    auto package = NSRequestPackage::fromModel(0, nullptr);
    auto request = AnaRequestDataPackage::initWithRequestPackage(package, 2, kInitialQueryHandlerKey,
                                                                 strategy()->uploadServer);
    request->needRetry = true;
    handlers().addRequest(request);
    return true;
}

void Analytics::doRefreshStrategy()
{
    // Only the timer is replaced; the status stays as start-up set it.
    delete m_refreshTimer;
    m_refreshTimer = new QTimer(m_timerHost.get());
    m_refreshTimer->setInterval(kRefreshIntervalMs);
    QObject::connect(m_refreshTimer, &QTimer::timeout, m_timerHost.get(), [this] { fetchServerStrategy(); });
    m_refreshTimer->start();
}

void Analytics::cleanAnalytics()
{
    m_status = 0;
    MainThread::postAndWait([this] {
        delete m_refreshTimer;
        m_refreshTimer = nullptr;
    });
}
