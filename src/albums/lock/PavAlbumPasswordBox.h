#pragma once

#include <QString>
#include <QWidget>

// One digit box of the lock screen: always 80 × 80 points, whatever size it
// is given; a typed digit is shown masked, as a dot.
class PavAlbumPasswordBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 80;

    explicit PavAlbumPasswordBox(const QRect& frame, QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
