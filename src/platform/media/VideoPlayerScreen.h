#pragma once

#include "platform/ui/Screen.h"

#include <QUrl>

#include <functional>

class QMediaPlayer;
class VideoFrameView;

// A full-screen movie player on Qt Multimedia: plays the file at once and
// closes itself at the end or on "完成". Screens make it through create(),
// whose factory tests may replace. A file the backend cannot play opens no
// player: the alert "无法播放该视频" says so and the application goes on; a
// file the backend fails on once playing (an error, media it finds invalid,
// or an end reached with at most one frame shown) says the same and closes
// the player. Escape
// acts as "完成". The sound goes to the machine's output device; with none,
// the video plays silently (see PlayerSound).
class VideoPlayerScreen : public ui::Screen {
    Q_OBJECT
public:
    using Factory = std::function<ui::Screen*(const QUrl& url)>;
    // Null (after the alert) when the file cannot be played.
    static ui::Screen* create(const QUrl& url);
    // An empty factory restores the real player.
    static void setFactory(Factory factory);

    explicit VideoPlayerScreen(QUrl url, QWidget* parent = nullptr);
    const QUrl& url() const { return m_url; }
    QMediaPlayer* player() const { return m_player; }
    VideoFrameView* frameView() const { return m_frameView; }

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static void alertCannotPlay();
    // The alert, then the player closes; once, whatever reports the failure.
    void closeCannotPlay();
    // Dismisses the player, once.
    void finish();

    QUrl m_url;
    QMediaPlayer* m_player = nullptr;
    VideoFrameView* m_frameView = nullptr;
    bool m_closing = false;
};
