#include "platform/media/VideoPlayerScreen.h"

#include "platform/core/Localization.h"
#include "platform/media/MediaBackend.h"
#include "platform/media/PlayerSound.h"
#include "platform/media/VideoFrameView.h"
#include "platform/ui/Alert.h"

#include <QMediaPlayer>
#include <QPushButton>
#include <QVideoSink>
#include <QKeyEvent>

namespace {
VideoPlayerScreen::Factory& factory()
{
    static VideoPlayerScreen::Factory instance;
    return instance;
}
}

ui::Screen* VideoPlayerScreen::create(const QUrl& url)
{
    if (factory())
        return factory()(url);
    if (!MediaBackend::canPlay(url.toLocalFile())) {
        alertCannotPlay();
        return nullptr;
    }
    return new VideoPlayerScreen(url);
}

void VideoPlayerScreen::alertCannotPlay()
{
    (new ui::Alert(QString(), L("无法播放该视频"), nullptr, L("知道了")))->show();
}

void VideoPlayerScreen::setFactory(Factory f)
{
    factory() = std::move(f);
}

VideoPlayerScreen::VideoPlayerScreen(QUrl url, QWidget* parent) : ui::Screen(parent), m_url(std::move(url)) {}

void VideoPlayerScreen::viewDidLoad()
{
    MediaBackend::select();
    setStyleSheet(QStringLiteral("background: black;"));
    m_frameView = new VideoFrameView(this);
    m_frameView->setGeometry(0, 0, 1024, 768);
    m_frameView->show();  // the screen may be shown already
    m_player = new QMediaPlayer(this);
    new PlayerSound(m_player);
    m_player->setVideoOutput(m_frameView->videoSink());
    m_player->setSource(m_url);
    // Queued: the player is stopped outside its own signals.
    connect(
        m_player, &QMediaPlayer::mediaStatusChanged, this,
        [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia)
                closeCannotPlay();
            else if (status == QMediaPlayer::EndOfMedia && m_frameView->framesShown() < 2)
                closeCannotPlay();  // a damaged file "ends" at once, on a stray frame at most
            else if (status == QMediaPlayer::EndOfMedia)
                finish();
        },
        Qt::QueuedConnection);
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this] { closeCannotPlay(); }, Qt::QueuedConnection);
    auto* done = new QPushButton(L("完成"), this);
    done->setGeometry(16, 16, 78, 36);
    done->setStyleSheet(QStringLiteral("color: white; background: rgba(64, 68, 72, 200); border-radius: 6px;"));
    connect(done, &QPushButton::clicked, this, [this] { finish(); });
    done->show();
}

void VideoPlayerScreen::viewDidAppear(bool)
{
    if (m_player)
        m_player->play();
}

void VideoPlayerScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        ui::Screen::keyPressEvent(event);
        return;
    }
    finish();  // as "完成"
}

void VideoPlayerScreen::finish()
{
    if (m_closing)
        return;
    m_closing = true;
    dismissModal(true);
}

void VideoPlayerScreen::closeCannotPlay()
{
    if (m_closing)
        return;
    m_player->stop();
    alertCannotPlay();
    finish();
}

void VideoPlayerScreen::viewWillDisappear(bool)
{
    if (m_player)
        m_player->stop();
}
