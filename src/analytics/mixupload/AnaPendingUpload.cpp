#include "analytics/mixupload/AnaPendingUpload.h"

#include "analytics/AnaErrorPopulator.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/packages/NSRequestPackage.h"

QByteArray AnaPendingUpload::getUploadData(bool clean, AnaError* error, const Builder& build)
{
    if (m_pending) {
        AnaErrorPopulator::populateError(error, 8,
                                         "invalid callable, set cleanDataAtomatic to NO must call "
                                         "uploadFinishWithResult before another call of  getUploadData");
        return m_lastEnvelope;
    }
    m_pending = build(clean);
    if (!m_pending)
        return {};
    AnaError buildError;
    m_lastEnvelope = AnaNuxWrapHelper().createReqData(*m_pending, "detail", "upload", "access", 2, 1,
                                                      AnaNuxWrapHelper::kRequestKey, &buildError);
    if (m_lastEnvelope.isEmpty()) {
        AnaErrorPopulator::populateError(error, 8,
                                         QStringLiteral("getUploadData meet crash %1").arg(buildError.description));
        m_pending.reset();
        return {};
    }
    if (clean)
        m_pending.reset();
    return m_lastEnvelope;
}
