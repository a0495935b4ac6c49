#pragma once

#include "albums/batch/PavPhotosProcessingViewDelegate.h"
#include "disk/DiskFile.h"
#include "platform/ui/Alert.h"

#include <QImage>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class DiskBackupUploader;
class DiskDir;
class PavAlertView;
class PavPhotosProcessingView_iPad;

// The cloud album's "拍照": a photo just taken goes up, as a JPEG named by
// the time, into the folder the album shows. It passes the backup's checks
// first (BackupGate with the verb "保存": room in the account, a network,
// the question over a connection without Wi-Fi); while it goes up, a
// progress panel shows it, whose cancel button stops it and deletes what
// was sent. Nothing is written before the checks pass.
//
// The alerts and the panel hold it as their delegate (a QObject, so one
// answering after it is gone is dropped). Main thread only. One photo at a
// time: a photo that arrives while another is asked about or going up is
// dropped; a question the background took away unanswered drops its photo.
// A lapsed sign-in (-401) ends the upload without the failure alert: the
// album is asked to sign in again. Destruction cancels the upload in flight
// and removes the panel.
class CloudCameraUpload : public QObject, public ui::AlertDelegate, public PavPhotosProcessingViewDelegate {
public:
    static constexpr int kUploadPanelTag = 52;
    static constexpr int kUploadOverCellularTag = 102;

    struct Collaborators {
        DiskBackupUploader* uploader = nullptr;             // required
        std::function<bool()> isLogined;                     // required
        std::function<std::optional<qint64>()> freeSpace;    // required; nullopt when not known
        std::function<int()> network;                        // required; NetworkConnectionKind
        // The folder the photo goes into, read when it starts.
        std::function<std::shared_ptr<DiskDir>()> folder;    // required
        // Where the panel goes; null: no panel (another one is up).
        std::function<QWidget*()> panelHost;                 // required
        std::function<void()> uploaded;                      // after the success toast
        std::function<void()> signInLapsed;                  // the disk answered -401
    };

    explicit CloudCameraUpload(Collaborators collaborators);
    ~CloudCameraUpload() override;

    // The camera's picture; a null image is ignored.
    void start(const QImage& image);
    // A photo is asked about or going up.
    bool isBusy() const { return asking() || m_curUploadPhoto; }
    // The photo going up, null when none is.
    const DiskFilePtr& curUploadPhoto() const { return m_curUploadPhoto; }
    PavPhotosProcessingView_iPad* panel() const { return m_panel; }

    // ui::AlertDelegate
    void alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex) override;
    // PavPhotosProcessingViewDelegate
    void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) override;

private:
    // The question over cellular is still up (the background takes it away
    // without an answer).
    bool asking() const;
    void uploadPhoto();
    void progressed(float percent);
    void finished(bool succeeded);
    void removePanel();
    PavAlertView* showAlert(const QString& message, int tag = 0, const QStringList& others = {});

    Collaborators m_c;
    QByteArray m_pending;   // the encoded photo until it starts
    QString m_name;
    DiskFilePtr m_curUploadPhoto;
    bool m_spaceFull = false;
    bool m_signInLapsed = false;
    QPointer<PavPhotosProcessingView_iPad> m_panel;
    QPointer<PavAlertView> m_question;
};
