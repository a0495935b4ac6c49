#pragma once

#include <QWidget>

namespace ui {
class ImageButton;
class ShadowLabel;
}

// The private album's toolbar: edit and add outside edit mode; move-out,
// delete, the count label and cancel in edit mode.
class SecretAlbumBar : public QWidget {
    Q_OBJECT
public:
    explicit SecretAlbumBar(const QRect& frame, QWidget* parent = nullptr);

    // Shows the buttons of one mode; the count text and whether the two
    // actions are enabled follow the chosen items.
    void showEditing(bool editing);
    void setSelection(const QString& countText, bool actionsEnabled);

    ui::ImageButton* editButton() const { return m_edit; }
    ui::ImageButton* addButton() const { return m_add; }
    ui::ImageButton* cancelButton() const { return m_cancel; }
    ui::ImageButton* unlockButton() const { return m_unlock; }
    ui::ImageButton* deleteButton() const { return m_delete; }
    ui::ShadowLabel* selectedCountLabel() const { return m_count; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutForWidth(int w);

    ui::ImageButton* m_edit;
    ui::ImageButton* m_add;
    ui::ImageButton* m_cancel;
    ui::ImageButton* m_unlock;
    ui::ImageButton* m_delete;
    ui::ShadowLabel* m_count;
};
