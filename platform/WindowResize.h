#pragma once

#include <QObject>
#include <QPointF>
#include <QWidget>

// Starts the user's resize of `window` by the given edges from a button press at `globalPos`
// (screen pixels): the window manager's own resize loop where there is one, otherwise the edges
// follow the pointer until the button is released.
void beginWindowResize(QWidget* window, Qt::Edges edges, const QPointF& globalPos);

// Thin invisible handles along the edges and corners of a window without a system frame, above
// all its other children, that let the user resize it.
class ResizeGrips : public QObject
{
    Q_OBJECT
public:
    static constexpr int Thickness = 3; // pixels; corners take three times as much along each edge

    explicit ResizeGrips(QWidget* window);
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QList<QWidget*> m_grips;
};
