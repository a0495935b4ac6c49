#pragma once

#include <QWidget>

class QLabel;

namespace ui {
class ImageView;
}

// What a page of the cloud photo browser shows until its photo is in: a
// picture and a message, one screen large. Opening, opened, or failed.
class PavCloudPhotoLoadingView_iPad : public QWidget {
    Q_OBJECT
public:
    explicit PavCloudPhotoLoadingView_iPad(const QRect& frame, QWidget* parent = nullptr);

    // "正在打开照片 请稍候..." with the loading picture.
    void initBeforeLoading();
    void loadingSuccessfully();
    void loadingFailed();
    // The opening message with the percentage, clamped to 0 ... 100 and truncated.
    void setProgress(float percent);
    static QString progressMessage(float percent);

    QLabel* msgLabel() const { return m_msgLabel; }
    bool isFailed() const { return m_failed; }
    ui::ImageView* statusImageView() const { return m_statusImageView; }

private:
    void setState(const QString& message, const QString& imageName, bool failed);

    ui::ImageView* m_statusImageView;
    QLabel* m_msgLabel;
    bool m_failed = false;
};
