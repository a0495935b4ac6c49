#include "LockFixture.h"

#include "Public/PavEncryptManager.h"

#include <algorithm>

LockFixture::LockFixture()
{
    AlbumPasswordFile file([this] { return dir.path(); },
                           [this](const QByteArray& plain, const QString& path) {
                               return !failWrites && PavEncryptManager::writeData(plain, path);
                           });
    AlbumRecoveryBinding binding([this]() -> UserDefaults& { return defaults; });
    manager = std::make_unique<PavAlbumPasswordManager>(file, binding);
}

std::unique_ptr<PinEntryMachine> LockFixture::machine(int type)
{
    return std::make_unique<PinEntryMachine>(
        type, *manager, [this](Event e) { events.push_back(e); }, [this](int id) { usage.push_back(id); });
}

void LockFixture::enter(PinEntryMachine& m, const char* digits)
{
    for (const char* c = digits; *c; ++c)
        m.inputText(QString(QChar(*c)));
    m.submit();
}

int LockFixture::count(Event e) const
{
    return int(std::count(events.begin(), events.end(), e));
}
