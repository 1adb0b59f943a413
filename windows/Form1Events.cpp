// The player's and the tree's mouse events: they take part in the skin. A press on the video drags
// the window; moving over the video or the tree puts the list handles back to their normal
// pictures, and in compact mode brings up the floating buttons over the video's top left.

#include "Form1.h"

#include "Bd.h"
#include "MediaPlayer.h"
#include "Placement.h"
#include "SkinLabel.h"
#include "TreeView.h"
#include "WindowMove.h"

#include <QCursor>

void Form1::bindPlayerAndTreeEvents()
{
    connect(wmp1, &MediaPlayer::MouseDown, this, [this] { wmp1_MouseDown(); });
    connect(wmp1, &MediaPlayer::MouseMove, this, [this] { wmp1_MouseMove(); });
    connect(TreeView1, &TreeView::MouseMove, this, [this] { TreeView1_MouseMove(); });
}

// Any button, and also while the window fills the screen (the caption's drag does not move it then).
void Form1::wmp1_MouseDown() { beginWindowMove(this, QCursor::pos()); }

void Form1::wmp1_MouseMove()
{
    ImageA->showStore(QStringLiteral("Image1"));
    ImageB->showStore(QStringLiteral("Image4"));
    if (placement::visible(Bd1))
        return;
    // PtA is placed with PtB's width before PtB takes its picture in the same run.
    PtA->show();
    placement::setTop(PtA, placement::height(Bd9));
    placement::setLeft(PtA, placement::width(PtB) + 8);
    PtA->showStore(QStringLiteral("Pt1"));
    PtB->show();
    placement::setTop(PtB, placement::height(Bd9));
    placement::setLeft(PtB, placement::width(Bd5));
    PtB->showStore(QStringLiteral("Pt4"));
}

void Form1::TreeView1_MouseMove()
{
    ImageA->showStore(QStringLiteral("Image1"));
    ImageB->showStore(QStringLiteral("Image4"));
}
