#pragma once

#include <QWidget>

// A plain stand-in for a skinned strip: a coloured panel that holds nested elements.
class SkinStrip : public QWidget
{
    Q_OBJECT
public:
    explicit SkinStrip(QWidget* parent, const QColor& colour);
};
