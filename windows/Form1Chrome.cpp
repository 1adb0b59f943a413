// The main window's chrome: rounded outline, moving and full screen by the caption bar, the
// caption buttons' three pictures, and the hover pictures of the floating buttons and handles.
#include "Form1.h"

#include "PlayerKeys.h"

#include "Bd.h"
#include "Module1.h"
#include "SkinLabel.h"
#include "Units.h"

#include <QBitmap>
#include <QPainter>

void Form1::bindFullScreenKeys()
{
    // F11 toggles full screen as the caption's double-click does; Esc only leaves it.
    const auto toggle = [this] {
        Module1::ToggleFullScreen(this, Tr, Rc, Br);
        Keys->setFullScreenActive(Module1::fullScreenState().fullScreen);
    };
    connect(Keys, &PlayerKeys::fullScreenToggleRequested, this, toggle);
    connect(Keys, &PlayerKeys::fullScreenLeaveRequested, this, [toggle] {
        if (Module1::fullScreenState().fullScreen)
            toggle();
    });
}

void Form1::bindChrome()
{
    // Bd's events carry button, modifiers and position; none of these handlers looks at them.
    connect(Bd1, &Bd::MouseDown, this, [this] { Bd1_MouseDown(); });
    connect(Cap, &SkinLabel::MouseDown, this, &Form1::Bd1_MouseDown);
    connect(Bd1, &Bd::DblClick, this, &Form1::Bd1_DblClick);
    connect(Cap, &SkinLabel::DblClick, this, &Form1::Bd1_DblClick);

    connect(Bi, &SkinLabel::MouseMove, this, &Form1::Bi_MouseMove);
    connect(Bi, &SkinLabel::MouseDown, this, &Form1::Bi_MouseDown);
    connect(Bi, &SkinLabel::MouseUp, this, &Form1::Bi_MouseUp);
    connect(BA, &SkinLabel::MouseMove, this, &Form1::BA_MouseMove);
    connect(BA, &SkinLabel::MouseDown, this, &Form1::BA_MouseDown);
    connect(BA, &SkinLabel::MouseUp, this, &Form1::BA_MouseUp);
    connect(BC, &SkinLabel::MouseMove, this, &Form1::BC_MouseMove);
    connect(BC, &SkinLabel::MouseDown, this, &Form1::BC_MouseDown);
    connect(BC, &SkinLabel::MouseUp, this, &Form1::BC_MouseUp);
    connect(Bd2, &Bd::MouseMove, this, [this] { Bd2_MouseMove(); });

    connect(PtA, &SkinLabel::MouseMove, this, &Form1::PtA_MouseMove);
    connect(PtB, &SkinLabel::MouseMove, this, &Form1::PtB_MouseMove);
    connect(PtB, &SkinLabel::Click, this, &Form1::PtB_Click);
    connect(ImageA, &SkinLabel::MouseMove, this, &Form1::ImageA_MouseMove);
    connect(ImageB, &SkinLabel::MouseMove, this, &Form1::ImageB_MouseMove);
    connect(Bd5, &Bd::MouseMove, this, [this] { Bd5_MouseMove(); });
    for (Bd* surface : {Bd9, Bd10, Rc})
        connect(surface, &Bd::MouseMove, this, [this] { Form_MouseMove(); });
}

void Form1::DoTransparency(QWidget* window, int corner)
{
    // The outer size in pixels; the region covers the whole outer rectangle, only the corners cut.
    const int w = units::roundCoordinate(Module1::windowWidth(window) / units::TwipsPerPixel);
    const int h = units::roundCoordinate(Module1::windowHeight(window) / units::TwipsPerPixel);
    if (w <= 0 || h <= 0)
        return;
    QBitmap mask(w, h);
    mask.fill(Qt::color0);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    // The corner value is the ellipse's width and height, so the radius is half of it.
    p.drawRoundedRect(QRectF(0, 0, w, h), corner / 2.0, corner / 2.0);
    p.end();
    window->setMask(mask);
}

void Form1::Bd1_MouseDown() { Module1::DragWindow(this); }
void Form1::Bd1_DblClick() { Module1::ToggleFullScreen(this, Tr, Rc, Br); }

void Form1::Bi_MouseMove() { Bi->showStore(QStringLiteral("Bi1")); }
void Form1::Bi_MouseDown() { Bi->showStore(QStringLiteral("Bi2")); }
void Form1::Bi_MouseUp()
{
    Bi->showStore(QStringLiteral("Bi0"));
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Form1::BA_MouseMove() { BA->showStore(QStringLiteral("ba1")); }
void Form1::BA_MouseDown() { BA->showStore(QStringLiteral("Ba2")); }
void Form1::BA_MouseUp()
{
    BA->showStore(QStringLiteral("ba0"));
    Module1::ToggleFullScreen(this, Tr, Rc, Br);
}

void Form1::BC_MouseMove() { BC->showStore(QStringLiteral("Bc1")); }
void Form1::BC_MouseDown() { BC->showStore(QStringLiteral("bc2")); }
void Form1::BC_MouseUp() { unloadMe(); } // the pressed picture goes with the window

// Leaving a caption button is noticed only over the panel around them.
void Form1::Bd2_MouseMove()
{
    BC->showStore(QStringLiteral("Bc0"));
    BA->showStore(QStringLiteral("ba0"));
    Bi->showStore(QStringLiteral("Bi0"));
}

void Form1::PtA_MouseMove() { PtA->showStore(QStringLiteral("Pt2")); }
void Form1::PtB_MouseMove() { PtB->showStore(QStringLiteral("Pt3")); }
void Form1::PtB_Click() { setWindowState(windowState() | Qt::WindowMinimized); }
void Form1::ImageA_MouseMove() { ImageA->showStore(QStringLiteral("Image2")); }
void Form1::ImageB_MouseMove() { ImageB->showStore(QStringLiteral("Image3")); }

void Form1::Bd5_MouseMove()
{
    ImageA->showStore(QStringLiteral("Image1"));
    ImageB->showStore(QStringLiteral("Image4"));
    PtA->hide();
    PtB->hide();
}

void Form1::Form_MouseMove()
{
    PtA->hide();
    PtB->hide();
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    Form::mouseMoveEvent(event);
    Form_MouseMove();
}
