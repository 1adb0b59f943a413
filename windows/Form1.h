#pragma once

#include "Form.h"

class BrowserControl;
class EdgeAlignment;
class LinkLabel;
class MediaPlayer;
class PlayerKeys;
class QLabel;
class QMenu;
class QRadioButton;
class ResizeGrips;
class SkinLabel;
class Bd;
class TreeView;
struct TreeNode;

// The main window: skinned frame, channel tree, player and ad panel.
class Form1 : public Form
{
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    void Form_Load() override;

    static constexpr int DesignClientWidth = 739;
    static constexpr int DesignClientHeight = 530;
    static QString adPageUrl();

    // Controls, named as the window's design names them; stacking order from the top.
    Bd* Bd9 = nullptr;
    BrowserControl* WebBrowser1 = nullptr;
    SkinLabel* PtB = nullptr;
    SkinLabel* PtA = nullptr;
    Bd* Bd6 = nullptr;
    Bd* Bd1 = nullptr;
    Bd* Bd5 = nullptr;
    TreeView* TreeView1 = nullptr;
    Bd* Mnu = nullptr;
    Bd* Bd4 = nullptr;
    Bd* Rc = nullptr;
    Bd* Bd10 = nullptr;
    QLabel* Picture1 = nullptr;
    MediaPlayer* wmp1 = nullptr;
    // Pause, mute, volume and the full-screen keys (F11, Esc) anywhere in the window.
    PlayerKeys* Keys = nullptr;

    // Inside the strips (twip rectangles).
    SkinLabel* Cap = nullptr;
    Bd* Tr = nullptr;
    Bd* Bd2 = nullptr;
    SkinLabel* Bi = nullptr;
    SkinLabel* BA = nullptr;
    SkinLabel* BC = nullptr;
    SkinLabel* ImageA = nullptr;
    SkinLabel* ImageB = nullptr;
    Bd* Bd3 = nullptr;
    Bd* Br = nullptr;
    QLabel* Label3 = nullptr;
    LinkLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    // The link row on the menu strip.
    LinkLabel* Label4 = nullptr;
    LinkLabel* Label13 = nullptr;
    LinkLabel* Label5 = nullptr;
    LinkLabel* Label6 = nullptr;
    LinkLabel* Label12 = nullptr;
    LinkLabel* Label8 = nullptr;
    LinkLabel* Label7 = nullptr;

    // The menu titles and the ad switch on the menu strip, and the two pop-up menus.
    LinkLabel* Mnu1 = nullptr;
    LinkLabel* Mnu4 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label9 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLabel* Label11 = nullptr;
    QMenu* MnuFile = nullptr;
    QMenu* MnuHelp = nullptr;

    bool alwaysOnTop() const { return m_alwaysOnTop; }

    // Menus and view switches (Form1Menus.cpp).
    void ResetMenuTitles();
    void Mnu1_MouseDown();
    void Mnu4_Click();
    void Formtop_Click();
    void Mnumini_Click();
    void MnuExit_Click();
    void ImageA_Click();
    void ImageB_Click();
    void PtA_Click();
    void Option1_Click();
    void Option2_Click();

    void TreeView1_NodeClick(const TreeNode& node);
    // The player's and the tree's mouse events (Form1Events.cpp).
    void wmp1_MouseDown();
    void wmp1_MouseMove();
    void TreeView1_MouseMove();

    float ScaleWidth() const;
    float ScaleHeight() const;

    // Layout (Form1Layout.cpp): the resize event lays the window out for its view state.
    void Form_Resize();
    // Chrome (Form1Chrome.cpp): cuts the window's outline to a rectangle with rounded corners.
    void DoTransparency(QWidget* window, int corner);

    // Handlers of the caption bar, the caption buttons and the hover pictures.
    void Bd1_MouseDown();
    void Bd1_DblClick();
    void Bi_MouseMove();
    void Bi_MouseDown();
    void Bi_MouseUp();
    void BA_MouseMove();
    void BA_MouseDown();
    void BA_MouseUp();
    void BC_MouseMove();
    void BC_MouseDown();
    void BC_MouseUp();
    void Bd2_MouseMove();
    void PtA_MouseMove();
    void PtB_MouseMove();
    void PtB_Click();
    void ImageA_MouseMove();
    void ImageB_MouseMove();
    void Bd5_MouseMove();
    void Form_MouseMove(); // also Bd9, Bd10 and Rc: the floating buttons go

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void bindChrome();
    void bindFullScreenKeys();
    void bindPlayerAndTreeEvents();
    void layoutCompact();
    void layoutNormal();
    void layoutListHidden();

    EdgeAlignment* m_edges = nullptr;
    ResizeGrips* m_grips = nullptr;
    bool m_alwaysOnTop = false;
};
