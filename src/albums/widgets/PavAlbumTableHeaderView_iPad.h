#pragma once

#include "platform/core/DelegateRef.h"

#include <QLabel>
#include <QWidget>

namespace ui {
class ImageButton;
class ShadowLabel;
}
class PavAlbumTableHeaderView_iPad;

class PavAlbumTableHeaderViewDelegate {
public:
    virtual ~PavAlbumTableHeaderViewDelegate() = default;
    virtual bool isAlbumTableHeaderViewEnable() = 0;
    virtual void albumTableHeaderView(PavAlbumTableHeaderView_iPad* header, bool checkAllButtonDidClick) = 0;
};

// The header of one day of an album grid: the date, and in edit mode a
// check-all box and the day's photo count.
class PavAlbumTableHeaderView_iPad : public QWidget {
    Q_OBJECT
public:
    PavAlbumTableHeaderView_iPad(const QRect& frame, bool isEditing, QWidget* parent = nullptr);

    void setDelegate(PavAlbumTableHeaderViewDelegate* delegate) { m_delegate.reset(delegate); }
    QLabel* titleLabel() const { return m_titleLabel; }
    // A count too long for the label is cut at its end ("16036张…"), never
    // at its start, so the digits shown are the count's first ones.
    ui::ShadowLabel* photoCountLabel() const { return m_photoCountLabel; }
    ui::ImageButton* checkAllButton() const { return m_checkAllButton; }
    bool isEditing() const { return m_isEditing; }
    int section() const { return m_section; }
    void setSection(int section) { m_section = section; }

    void setIsEditing(bool editing);
    void setTitle(const QString& title);
    void setPhotoCount(unsigned count);
    void modifyCheckAllButton(bool selected);
    void checkAllButtonClicked();

private:
    DelegateRef<PavAlbumTableHeaderViewDelegate> m_delegate;
    QLabel* m_titleLabel;
    ui::ShadowLabel* m_photoCountLabel;
    ui::ImageButton* m_checkAllButton;
    bool m_isEditing = false;
    int m_section = 0;
};
