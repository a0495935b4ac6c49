#pragma once

#include <QMargins>
#include <QString>

class QWidget;

namespace ui {
class ImageButton;
class ShadowLabel;
}

// The buttons of the album toolbars.
namespace AlbumBarButtons {

// A titled action button on a stretched background: "<image>_iPad.png",
// "<image>_selected_iPad.png" while pressed; white title, dimmed to
// disabledAlpha when disabled.
ui::ImageButton* action(QWidget* parent, const QString& title, const QString& image, int fontSize,
                        int disabledAlpha = 178, const QMargins& titleInsets = QMargins(1, 0, 0, 0));
// An icon button that glows when touched.
ui::ImageButton* icon(QWidget* parent, const QString& image);
// The centred white count line of edit mode, "请选择照片" at first.
ui::ShadowLabel* countLabel(QWidget* parent);

}
