#include "albums/private/SecretAlbumGate.h"

SecretAlbumGate::Action SecretAlbumGate::onAppear(const Shown& s)
{
    if (!s.hasVerified)
        return Action::Verify;
    if (!s.hasItems && !s.emptyShown)
        return Action::Load;
    if (s.editing || !s.isUpdated)
        return Action::Nothing;
    return Action::Load;
}

bool SecretAlbumGate::beginLoad(bool hasVerified, unsigned& ticket)
{
    if (!hasVerified)
        return false;
    ticket = ++m_generation;
    return true;
}
