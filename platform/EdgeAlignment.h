#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

// Keeps children along the edges of their container whenever it changes size: top and bottom
// strips at full width, left and right strips between them, each at its own thickness.
// An aligned child cannot be moved off its edge: a move puts it straight back.
class EdgeAlignment : public QObject
{
    Q_OBJECT
public:
    enum class Edge { Top, Bottom, Left, Right };

    explicit EdgeAlignment(QWidget* container);
    void align(QWidget* child, Edge edge);
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_container;
    std::vector<std::pair<QPointer<QWidget>, Edge>> m_children;
};
