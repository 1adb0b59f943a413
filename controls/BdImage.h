#pragma once

#include <QPixmap>
#include <QWidget>

// The picture element of a Bd: shows its picture stretched to its own size, whatever the
// picture's proportions; shows nothing (lets its parent show through) without a picture.
// A picture with a device pixel ratio above 1 is drawn from its full-resolution pixels.
class BdImage : public QWidget
{
    Q_OBJECT
public:
    explicit BdImage(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};
