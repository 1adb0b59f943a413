// The main window's skin, built from Bd strips and the skin pictures at the window's design size,
// beside a compact-mode view and a sheet of every state picture.
//   skin-gallery                 opens the window; the caption buttons, the list handle and the
//                                floating buttons answer the pointer
//   skin-gallery --grab FILE.png writes a picture of the window and exits
// Run it with QT_SCALE_FACTOR=2 to see the 2x pictures.
#include "Bd.h"
#include "ProcessSetup.h"
#include "PropertyBag.h"
#include "SkinPictures.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QRadialGradient>
#include <QTimer>
#include <QTreeWidget>

namespace {

qreal g_dpr = 1;

QPixmap pic(const char* element) { return skin::picture(skin::pictureFor(QLatin1String(element)), g_dpr); }

const QColor kText(0xc9, 0xce, 0xd6);
const QColor kDimText(0x8a, 0x91, 0x9b);
const QColor kLink(0x7c, 0xbd, 0xff);
const QColor kSurface(0x16, 0x18, 0x1b);

QFont uiFont(int pointSize = 9, bool bold = false)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"), pointSize);
    f.setBold(bold);
    return f;
}

// A strip as the window's saved data makes it: no caption, its picture.
Bd* strip(QWidget* parent, const char* element, QRect rect)
{
    auto* bd = new Bd(parent);
    bd->setObjectName(QLatin1String(element));
    PropertyBag saved;
    saved.WriteProperty(QStringLiteral("caption"), QString());
    saved.WriteProperty(QStringLiteral("picture"), pic(element));
    bd->ReadProperties(saved);
    bd->setGeometry(rect);
    return bd;
}

QLabel* text(const QString& caption, const QColor& colour, const QFont& font = uiFont())
{
    auto* label = new QLabel(caption);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

QLabel* image(const QPixmap& picture)
{
    auto* label = new QLabel;
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Swaps a picture element between its normal, hover and pressed pictures as the pointer goes.
class PictureStates : public QObject
{
public:
    PictureStates(QLabel* target, QPixmap normal, QPixmap hover, QPixmap pressed = {})
        : QObject(target), m_target(target), m_normal(normal), m_hover(hover), m_pressed(pressed.isNull() ? hover : pressed)
    {
        target->setPixmap(normal);
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Enter: m_target->setPixmap(m_hover); break;
        case QEvent::Leave: m_target->setPixmap(m_normal); break;
        case QEvent::MouseButtonPress: m_target->setPixmap(m_pressed); break;
        case QEvent::MouseButtonRelease: m_target->setPixmap(m_hover); break;
        default: break;
        }
        return false;
    }

private:
    QLabel* m_target;
    QPixmap m_normal, m_hover, m_pressed;
};

// Stands in for the video: a dusk scene, so the strips are judged against a real picture.
class Video : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        QLinearGradient sky(r.topLeft(), r.bottomLeft());
        sky.setColorAt(0, QColor(0x14, 0x1f, 0x3d));
        sky.setColorAt(0.55, QColor(0x6a, 0x4a, 0x7a));
        sky.setColorAt(0.78, QColor(0xe0, 0x8a, 0x5c));
        sky.setColorAt(1, QColor(0x2a, 0x1d, 0x2a));
        p.fillRect(r, sky);
        QRadialGradient sun(QPointF(r.width() * 0.62, r.height() * 0.74), r.width() * 0.22);
        sun.setColorAt(0, QColor(255, 214, 150, 230));
        sun.setColorAt(1, QColor(255, 150, 90, 0));
        p.fillRect(r, sun);
        QPainterPath hills;
        hills.moveTo(0, r.height() * 0.8);
        hills.cubicTo(r.width() * 0.25, r.height() * 0.68, r.width() * 0.45, r.height() * 0.86, r.width() * 0.7, r.height() * 0.76);
        hills.cubicTo(r.width() * 0.85, r.height() * 0.71, r.width() * 0.95, r.height() * 0.8, r.width(), r.height() * 0.78);
        hills.lineTo(r.width(), r.height());
        hills.lineTo(0, r.height());
        p.fillPath(hills, QColor(0x1a, 0x12, 0x1e));
        if (m_label.isEmpty())
            return;
        p.setFont(uiFont(9, true));
        const QRectF tag(14, 12, 64, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawRoundedRect(tag, 4, 4);
        p.setPen(Qt::white);
        p.drawText(tag, Qt::AlignCenter, m_label);
    }

public:
    QString m_label;
};

// The main window's client area in the normal view at its design size (739 x 530), the way the
// layout rule leaves it (outer size 747 x 546).
QWidget* normalView()
{
    auto* form = new QWidget;
    form->setFixedSize(739, 530);
    form->setAutoFillBackground(true);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, kSurface);
    form->setPalette(pal);
    image(pic("Form1"))->setParent(form);

    auto* video = new Video(form);
    video->setGeometry(159, 52, 574, 470);
    video->m_label = QStringLiteral("CCTV-1");

    // Bottom to top in the window's stacking order.
    strip(form, "Rc", QRect(733, 26, 6, 491));
    strip(form, "Bd4", QRect(0, 26, 7, 491));
    auto* mnu = strip(form, "Mnu", QRect(0, 24, 739, 21));
    auto* tree = new QTreeWidget(form);
    tree->setGeometry(7, 47, 145, 470);
    tree->setHeaderHidden(true);
    tree->setFrameShape(QFrame::NoFrame);
    tree->setFont(uiFont(10));
    tree->setIndentation(14);
    tree->setStyleSheet(QStringLiteral(
        "QTreeWidget { background: #17191c; color: #c9ced6; outline: 0; }"
        "QTreeWidget::item { height: 20px; }"
        "QTreeWidget::item:selected { background: #25405f; color: white; }"));
    const char* categories[] = {"中央电视台", "地方电视台", "港台电视台", "国外电视台", "世界摄像头直播"};
    for (const char* c : categories) {
        auto* item = new QTreeWidgetItem(tree, {QString::fromUtf8(c)});
        if (QLatin1String(c) == QLatin1String(categories[0])) {
            for (const char* ch : {"CCTV-1综合", "CCTV-2财经", "CCTV-3综艺", "CCTV-4中文国际", "CCTV-5体育", "CCTV-6电影",
                                   "CCTV-7军事农业", "CCTV-8电视剧", "CCTV-9纪录", "CCTV-10科教", "CCTV-11戏曲",
                                   "CCTV-12社会与法", "CCTV-13新闻", "CCTV-14少儿", "CCTV-15音乐"})
                new QTreeWidgetItem(item, {QString::fromUtf8(ch)});
            item->setExpanded(true);
            tree->setCurrentItem(item->child(0));
        }
    }

    auto* bd5 = strip(form, "Bd5", QRect(152, 45, 7, 475));
    auto* bd1 = strip(form, "Bd1", QRect(0, 0, 739, 26));
    auto* bd6 = strip(form, "Bd6", QRect(0, 517, 739, 13));
    strip(form, "Bd9", QRect(156, 45, 588, 7));

    // Caption bar: the title, the separator mark, the button panel at the outer right edge.
    auto* cap = text(QStringLiteral("Lumivo网络电视5.5 免安装版"), kText, uiFont(9, true));
    bd1->placeChild(cap, 120, 75, 2880, 240);
    auto* tr = strip(nullptr, "Tr", {});
    bd1->placeChild(tr, 5340, 0, 30, 390);
    auto* bd2 = strip(nullptr, "Bd2", {});
    bd1->placeChild(bd2, 747 * 15 - 1035, 0, 1035, 345);
    const std::pair<const char*, std::array<const char*, 3>> buttons[] = {
        {"Bi", {"Bi0", "Bi1", "Bi2"}}, {"BA", {"ba0", "ba1", "Ba2"}}, {"BC", {"Bc0", "Bc1", "bc2"}}};
    float left = 60;
    for (const auto& [name, states] : buttons) {
        auto* b = new QLabel;
        b->setObjectName(QLatin1String(name));
        new PictureStates(b, pic(states[0]), pic(states[1]), pic(states[2]));
        bd2->placeChild(b, left, 60, 240, 240);
        left += 300;
    }

    // Menu strip: two titles (the first shown open), the ad switch, the link labels.
    auto* frame = image(skin::picture(QStringLiteral("menu-title-frame"), g_dpr));
    mnu->placeChild(frame, 345, 45, 660, 210);
    const std::tuple<const char*, int, int, int> titles[] = {{"选项(F)", 360, 60, 630}, {"帮助(H)", 1260, 60, 630}};
    for (const auto& [caption, l, t, w] : titles) {
        auto* title = text(QString::fromUtf8(caption), kText);
        title->setAlignment(Qt::AlignCenter);
        title->setCursor(skin::linkCursor(g_dpr));
        mnu->placeChild(title, l, t, w, 195);
    }
    mnu->placeChild(text(QStringLiteral("(广告:"), kDimText), 2400, 75, 600, 195);
    auto* on = new QRadioButton(QStringLiteral("开"));
    auto* off = new QRadioButton(QStringLiteral("关"));
    for (QRadioButton* r : {on, off}) {
        r->setFont(uiFont());
        r->setStyleSheet(QStringLiteral(
            "QRadioButton { color: #c9ced6; spacing: 3px; }"
            "QRadioButton::indicator { width: 8px; height: 8px; border-radius: 5px; border: 1px solid #5a616b;"
            " background: #17191c; }"
            "QRadioButton::indicator:checked { border: 1px solid #3d9bff;"
            " background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 #7cbdff, stop:0.55 #3d9bff,"
            " stop:0.65 #17191c); }"));
    }
    off->setChecked(true);
    mnu->placeChild(on, 3000, 45, 540, 255);
    mnu->placeChild(off, 3540, 45, 540, 255);
    mnu->placeChild(text(QStringLiteral(")"), kDimText), 4080, 75, 90, 195);
    // The links one after another from where the first one starts, each as wide as its text.
    float linkLeft = 4320;
    for (const char* caption : {"CNTV直播", "易视直播", "Lumivo影剧院", "Lumivo收音机", "酷狗音乐", "Kivamo", "Lumivo聊天室"}) {
        auto* link = text(QString::fromUtf8(caption), kLink, uiFont(8));
        link->setCursor(skin::linkCursor(g_dpr));
        const float width = float(link->sizeHint().width()) * 15;
        mnu->placeChild(link, linkLeft, 75, width, 195);
        linkLeft += width + 150;
    }

    // Bottom bar: the accent tick and the sponsor line.
    auto* bd3 = strip(nullptr, "Bd3", {});
    bd6->placeChild(bd3, 0, 0, 180, 30);
    QFont small = uiFont();
    small.setPixelSize(10);
    auto* sponsor = text(QStringLiteral("本软件由 <span style='color:#7cbdff'>Orvalis orvalis.example</span> 提供"), kDimText, small);
    sponsor->setTextFormat(Qt::RichText);
    sponsor->setAlignment(Qt::AlignCenter);
    bd6->placeChild(sponsor, 0, 0, 739 * 15, 195);

    // Divider: the hide handle, where the layout rule puts it.
    auto* handle = new QLabel;
    new PictureStates(handle, pic("Image1"), pic("Image2"));
    bd5->placeChild(handle, 0, 546 * 15 / 2.0f - 26 - 21 - 13 - 800, 315, 750);
    return form;
}

// Compact mode at a small size: the player fills the window between the thin strips, with the
// floating buttons over its top left corner (the leave button under the pointer).
QWidget* compactView(QSize client)
{
    auto* form = new QWidget;
    form->setFixedSize(client);
    form->setAutoFillBackground(true);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, kSurface);
    form->setPalette(pal);
    const int w = client.width();
    const int h = client.height();
    const int playerW = w - 7 - 6;
    const int playerH = h + 52 - 7 - 7;
    auto* video = new Video(form);
    video->setGeometry(7, 7, playerW, playerH);
    strip(form, "Bd9", QRect(w - 6 - playerW - 3, 0, playerW + 5, 7));
    strip(form, "Bd10", QRect(w - 6 - playerW - 15, 7 + playerH - 53, playerW + 30, 7));
    strip(form, "Rc", QRect(w - 6, 0, 6, h));
    strip(form, "Bd5", QRect(0, 0, 7, h));
    auto* ptB = image(pic("Pt4"));
    ptB->setParent(form);
    ptB->setGeometry(7, 7, 25, 25);
    new PictureStates(ptB, pic("Pt4"), pic("Pt3"));
    auto* ptA = image(pic("Pt2"));
    ptA->setParent(form);
    ptA->setGeometry(25 + 8, 7, 25, 25);
    new PictureStates(ptA, pic("Pt1"), pic("Pt2"));
    ptA->setPixmap(pic("Pt2"));
    return form;
}

// Every state picture in a row under its element's name.
QWidget* stateSheet()
{
    auto* sheet = new QWidget;
    auto place = [sheet](QWidget* w, int x, int y) {
        w->setParent(sheet);
        w->move(x, y);
        w->adjustSize();
    };
    auto heading = [&](const QString& s, int y) { place(text(s, kText, uiFont(9, true)), 0, y); };
    auto caption = [&](const QString& s, int x, int y) { place(text(s, kDimText, uiFont(8)), x, y); };

    heading(QStringLiteral("Caption buttons"), 0);
    const char* looks[] = {"normal", "hover", "pressed"};
    for (int i = 0; i < 3; ++i)
        caption(QLatin1String(looks[i]), 96 + i * 56, 22);
    const std::pair<const char*, std::array<const char*, 3>> rows[] = {
        {"minimise", {"Bi0", "Bi1", "Bi2"}}, {"full screen", {"ba0", "ba1", "Ba2"}}, {"close", {"Bc0", "Bc1", "bc2"}}};
    int y = 42;
    for (const auto& [name, states] : rows) {
        caption(QLatin1String(name), 0, y);
        for (int i = 0; i < 3; ++i) {
            // On the caption bar's own colours, as they are seen.
            auto* back = strip(nullptr, "Bd2", {});
            place(back, 88 + i * 56, y - 4);
            back->resize(32, 23);
            back->placeChild(image(pic(states[i])), 120, 60, 240, 240);
        }
        y += 30;
    }

    heading(QStringLiteral("Floating buttons (compact mode)"), y + 8);
    y += 34;
    caption(QStringLiteral("leave compact"), 0, y + 2);
    place(image(pic("Pt1")), 96, y);
    place(image(pic("Pt2")), 152, y);
    y += 26;
    caption(QStringLiteral("minimise"), 0, y + 2);
    place(image(pic("Pt4")), 96, y);
    place(image(pic("Pt3")), 152, y);
    y += 30;

    heading(QStringLiteral("List handles"), y);
    y += 22;
    const char* handles[] = {"Image1", "Image2", "Image4", "Image3"};
    const char* handleNames[] = {"hide", "hover", "show", "hover"};
    for (int i = 0; i < 4; ++i) {
        // As the 7-pixel divider shows them: the show handle sits 4 pixels further left.
        auto* divider = strip(nullptr, "Bd5", {});
        place(divider, i * 62 + 14, y);
        divider->resize(7, 64);
        const bool show = i >= 2;
        auto* h = image(pic(handles[i]));
        divider->placeChild(h, show ? -60 : 0, 105, show ? 300 : 315, 750);
        caption(QLatin1String(handleNames[i]), i * 62, y + 68);
    }
    y += 92;

    heading(QStringLiteral("Menu title, open"), y);
    auto* menuStrip = strip(nullptr, "Mnu", {});
    place(menuStrip, 0, y + 20);
    menuStrip->resize(140, 21);
    menuStrip->placeChild(image(skin::picture(QStringLiteral("menu-title-frame"), g_dpr)), 345, 45, 660, 210);
    auto* title = text(QStringLiteral("选项(F)"), kText);
    title->setAlignment(Qt::AlignCenter);
    menuStrip->placeChild(title, 360, 60, 630, 195);
    auto* hand = image(skin::picture(QStringLiteral("cursor-link"), g_dpr));
    place(hand, 160, y + 12);
    caption(QStringLiteral("link pointer"), 200, y + 22);
    sheet->setFixedSize(300, y + 56);
    return sheet;
}

// The thin frame the system draws around the client area, and a soft shadow under the window.
class WindowFrame : public QWidget
{
public:
    WindowFrame(QWidget* parent, QRect client) : QWidget(parent), m_client(client)
    {
        setGeometry(client.adjusted(-14, -10, 14, 18));
        lower();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF outer = QRectF(m_client.translated(-pos())).adjusted(-4, -4, 4, 4);
        for (int i = 10; i > 0; --i) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 7));
            p.drawRoundedRect(outer.adjusted(-i, -i + 3, i, i + 4), 6 + i, 6 + i);
        }
        p.setBrush(QColor(0x1f, 0x22, 0x26));
        p.setPen(QPen(QColor(0x0a, 0x0b, 0x0c), 1));
        p.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }

private:
    QRect m_client;
};

void windowFrame(QWidget* parent, QRect client) { new WindowFrame(parent, client); }

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    processsetup::installFontSubstitutes();
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption grab(QStringLiteral("grab"), QStringLiteral("Write a picture of the window and exit."), QStringLiteral("file"));
    parser.addOption(grab);
    parser.process(app);
    g_dpr = app.devicePixelRatio();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Lumivo skin"));
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0x2a, 0x2c, 0x30));
    window.setPalette(pal);

    auto* normal = normalView();
    windowFrame(&window, QRect(20, 40, 739, 530));
    normal->setParent(&window);
    normal->move(20, 40);
    auto* normalCaption = text(QStringLiteral("Main window, normal view, 739 × 530"), kDimText, uiFont(9));
    normalCaption->setParent(&window);
    normalCaption->move(20, 14);

    auto* compact = compactView(QSize(300, 190));
    windowFrame(&window, QRect(779, 40, 300, 190));
    compact->setParent(&window);
    compact->move(779, 40);
    auto* compactCaption = text(QStringLiteral("Compact mode"), kDimText, uiFont(9));
    compactCaption->setParent(&window);
    compactCaption->move(779, 14);

    auto* sheet = stateSheet();
    sheet->setParent(&window);
    sheet->move(779, 250);
    window.setFixedSize(1099, std::max(590, 250 + sheet->height() + 20));
    window.show();

    if (parser.isSet(grab)) {
        const QString file = parser.value(grab);
        QTimer::singleShot(100, &window, [&] { app.exit(window.grab().save(file) ? 0 : 1); });
    }
    return app.exec();
}
