#include "ProcessSetup.h"

#include "media/RenderPath.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QStandardPaths>
#include <QtGlobal>

#include <clocale>
#include <malloc.h>
#include <cstdio>
#include <unistd.h>
#include <utility>
#include <xcb/xcb.h>

// The icons live in an archive; naming their initialiser keeps the linker from dropping them.
static void initIconResources() { Q_INIT_RESOURCE(lumivo_icons); }

namespace {
constexpr char kGlIntegration[] = "QT_XCB_GL_INTEGRATION";
bool g_glIntegrationSetHere = false;
QtMessageHandler g_previousHandler = nullptr;

// The web engine still asks for a shared GL context while the application starts; that it cannot
// have one is the point, not news for the user's terminal.
void quietAboutMissingGl(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(u"QXcbIntegration: Cannot create platform OpenGL context"))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}
} // namespace

namespace processsetup {

void limitAllocatorArenas()
{
    if (qEnvironmentVariableIsEmpty("MALLOC_ARENA_MAX")) // the user's own setting stands
        mallopt(M_ARENA_MAX, 2);
}

QString displayProblem()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if ((!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb"))) || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return platform.isEmpty() ? QStringLiteral("找不到可用的显示（DISPLAY 与 WAYLAND_DISPLAY 均未设置）")
                                  : QStringLiteral("找不到可用的显示（DISPLAY 未设置）");
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    return failed ? QStringLiteral("无法连接到显示 %1").arg(QString::fromLocal8Bit(display)) : QString();
}

void beforeApplication()
{
    // Nothing of ours may land on disk: no shader caches from Qt or Mesa.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    // Web panels and GL video share contexts, where there is GL to draw with.
    const bool gpu = machineHasGpuDevice();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, gpu);
    // Without a GPU device nothing is drawn through GL, yet the toolkit and the web engine would
    // still load the software GL driver before the first window: about 30 % of the start and 50 MB.
    // Only the toolkit's own start sees this; programs we launch get the user's environment.
    if (!gpu && qEnvironmentVariableIsEmpty(kGlIntegration)) {
        qputenv(kGlIntegration, "none");
        g_glIntegrationSetHere = true;
        g_previousHandler = qInstallMessageHandler(quietAboutMissingGl);
    }
    keepSoundClientOutOfHome();

    // The browser engine refuses to start as root unless its sandbox is off.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fputs("lumivo: running as root, web panels run without their sandbox\n", stderr);
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

void keepSoundClientOutOfHome()
{
    // Without a session runtime folder (su, a bare X server, a chroot) the sound server's client
    // library would leave a link in ~/.config/pulse. Send it where Qt puts its own runtime files
    // in that case (a private folder under the temporary directory, made here if missing).
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") || !qEnvironmentVariableIsEmpty("PULSE_RUNTIME_PATH"))
        return;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        qputenv("PULSE_RUNTIME_PATH", QFile::encodeName(runtime + QStringLiteral("/pulse")));
}

void installFontSubstitutes()
{
    const QString serif = QStringLiteral("Noto Serif CJK SC");
    const QString sans = QStringLiteral("Noto Sans CJK SC");
    for (const char16_t* face : {u"宋体", u"SimSun", u"仿宋_GB2312", u"仿宋", u"新宋体"})
        QFont::insertSubstitutions(QString::fromUtf16(face), {serif, sans});
    for (const char16_t* face : {u"黑体", u"微软雅黑", u"SimHei", u"Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf16(face), {sans, serif});
}

void identifyApplication()
{
    // Pinned rather than taken from the executable's name: a renamed copy of the portable program
    // still gets the X11 class "lumivo" that the desktop entry's StartupWMClass names.
    QCoreApplication::setApplicationName(QStringLiteral("lumivo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lumivo"));
    initIconResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lumivo-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
}

void afterApplication()
{
    if (std::exchange(g_glIntegrationSetHere, false)) {
        qunsetenv(kGlIntegration);
        qInstallMessageHandler(g_previousHandler);
    }
    identifyApplication();
    installFontSubstitutes();
    QFont app = QApplication::font();
    app.setFamilies({app.family(), QStringLiteral("Noto Sans CJK SC")});
    QApplication::setFont(app);
    // The playback engine parses numbers with C conventions.
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace processsetup
