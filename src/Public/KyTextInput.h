#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// A framed input with a caption in front: firstLabel (firstLength wide)
// and boldTextField (secondLength wide), whose text, placeholder, masking
// and enabled state the owner sets.
class KyTextInput : public QWidget {
    Q_OBJECT
public:
    KyTextInput(const QRect& frame, int firstLength, int secondLength, QWidget* parent = nullptr);

    QLabel* firstLabel() const { return m_firstLabel; }
    QLineEdit* boldTextField() const { return m_field; }
    // The field's font size in pixels (18 unless set).
    void setFieldFontSize(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_firstLabel;
    QLineEdit* m_field;
};
