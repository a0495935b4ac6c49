#pragma once

#include <QWidget>

namespace ui {
class ImageButton;
class ShadowLabel;
}

// The cloud album's bottom bar: edit and add in normal mode; cancel, save,
// delete and the count label in edit mode. It reports taps.
class CloudAlbumBar : public QWidget {
    Q_OBJECT
public:
    explicit CloudAlbumBar(const QRect& frame, QWidget* parent = nullptr);

    // Edit mode with n photos chosen, or normal mode (editEnabled: there is
    // a photo to choose).
    void showEditing(bool editing, int selected);
    void setEditEnabled(bool enabled);

    ui::ImageButton* editButton() const { return m_edit; }
    ui::ImageButton* addButton() const { return m_add; }
    ui::ImageButton* cancelButton() const { return m_cancel; }
    ui::ImageButton* saveButton() const { return m_save; }
    ui::ImageButton* deleteButton() const { return m_delete; }
    ui::ShadowLabel* selectedCountLabel() const { return m_count; }

signals:
    void editClicked();
    void addClicked();
    void cancelClicked();
    void saveClicked();
    void deleteClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutForWidth(int w);

    ui::ImageButton* m_edit;
    ui::ImageButton* m_add;
    ui::ImageButton* m_cancel;
    ui::ImageButton* m_save;
    ui::ImageButton* m_delete;
    ui::ShadowLabel* m_count;
};
