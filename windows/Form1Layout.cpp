// The main window's layout rule: the resize event lays the pieces out for the view state that
// the visibility of the caption bar and the channel list tells.
#include "Form1.h"

#include "Bd.h"
#include "MediaPlayer.h"
#include "Module1.h"
#include "Placement.h"
#include "SkinLabel.h"
#include "TreeView.h"

#include <QEvent>

// QWidget's own width() and height() would hide the placement functions of the same names.
namespace pl = placement;
using pl::Unit;


void Form1::resizeEvent(QResizeEvent* event)
{
    Form::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent* event)
{
    Form::changeEvent(event);
    // Minimising and restoring raise the resize event too, whether or not the size changed.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::Form_Resize()
{
    // A minimised window's client area measures nothing: laying it out would only give the
    // pieces sizes below zero. The restore lays it out again.
    if (isMinimized())
        return;

    DoTransparency(this, 5);

    if (!pl::visible(Bd1))
        layoutCompact();
    else if (pl::visible(TreeView1))
        layoutNormal();
    else
        layoutListHidden();

    // The list handles sit at half the outer height (twips) less the strips' heights (pixels),
    // taken as a twip position inside the divider.
    pl::setTop(ImageA, Module1::windowHeight(this) / 2 - pl::height(Bd1) - pl::height(Mnu) - pl::height(Bd6) - 800,
                      Unit::Twips);
    pl::setTop(ImageB, pl::top(ImageA, Unit::Twips), Unit::Twips);
    pl::setWidth(Bd5, 7);
}

void Form1::layoutCompact()
{
    // The player reaches below the client area so that its control bar is out of sight.
    pl::setWidth(wmp1, ScaleWidth() - pl::width(Bd5) - pl::width(Rc));
    pl::setHeight(wmp1, ScaleHeight() + 52 - pl::height(Bd10) - pl::height(Bd9));
    pl::setTop(wmp1, pl::height(Bd9));
    pl::setLeft(wmp1, pl::width(Bd5));
    pl::setLeft(Bd5, 0);
    pl::setWidth(Bd5, 7);
    pl::setHeight(Bd5, ScaleHeight());
    pl::setTop(Bd5, 0);
    ImageA->hide();
    ImageB->hide();
    pl::setTop(Bd9, 0);
    pl::setLeft(Bd9, ScaleWidth() - pl::width(Rc) - pl::width(wmp1) - 3);
    pl::setWidth(Bd9, pl::width(wmp1) + 5);
    pl::setTop(Bd10, pl::height(Bd9) + pl::height(wmp1) - 53);
    pl::setLeft(Bd10, ScaleWidth() - pl::width(Rc) - pl::width(wmp1) - 15);
    pl::setWidth(Bd10, pl::width(wmp1) + 30);
}

void Form1::layoutNormal()
{
    // The outer width is a twip count: as pixels it makes the menu strip reach past any edge.
    pl::setWidth(Mnu, Module1::windowWidth(this));
    pl::setLeft(Bd2, Module1::windowWidth(this) - pl::width(Bd2, Unit::Twips), Unit::Twips);
    pl::setHeight(wmp1, ScaleHeight() - pl::height(Bd1) - pl::height(Bd6) - pl::height(Mnu));
    pl::setTop(wmp1, pl::height(Bd9) + pl::height(Mnu) + pl::height(Bd1) - 2);
    pl::setWidth(wmp1, ScaleWidth() - pl::width(Bd5) - pl::width(Bd4) - pl::width(Rc) - pl::width(TreeView1));
    pl::setLeft(wmp1, pl::width(Bd4) + pl::width(Bd5) + pl::width(TreeView1));
    pl::setLeft(TreeView1, pl::width(Bd4));
    pl::setHeight(TreeView1, ScaleHeight() - pl::height(Bd1) - pl::height(Bd6) - pl::height(Mnu));
    pl::setTop(TreeView1, pl::height(Mnu) + pl::height(Bd1));
    pl::setHeight(Bd5, pl::height(TreeView1) + 5);
    pl::setWidth(Bd9, pl::width(wmp1) + 14);
    pl::setTop(Bd9, pl::height(Mnu) + pl::height(Bd1) - 2);
    pl::setLeft(Bd9, ScaleWidth() - pl::width(Rc) - pl::width(wmp1) - 3);
}

void Form1::layoutListHidden()
{
    pl::setWidth(Mnu, Module1::windowWidth(this));
    pl::setLeft(Bd2, Module1::windowWidth(this) - pl::width(Bd2, Unit::Twips), Unit::Twips);
    pl::setWidth(wmp1, ScaleWidth() - pl::width(Bd5) - pl::width(Rc));
    pl::setHeight(wmp1, ScaleHeight() - pl::height(Bd1) - pl::height(Mnu) - pl::height(Bd6));
    pl::setLeft(wmp1, pl::width(Bd5));
    pl::setHeight(Bd5, pl::height(wmp1));
    pl::setTop(Bd5, pl::top(wmp1));
    pl::setWidth(Bd9, pl::width(wmp1) + 14);
    pl::setTop(Bd9, pl::height(Mnu) + pl::height(Bd1) - 2);
    pl::setLeft(Bd9, ScaleWidth() - pl::width(Rc) - pl::width(wmp1) - 3);
}
