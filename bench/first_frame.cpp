// Time from a URL write to the first picture on screen, for the media-player control with the
// main window's settings. Prints one line per run and the median, in milliseconds.
//
//     bench_first_frame URL [RUNS]

#include "MediaPlayer.h"
#include "MpvEngine.h"
#include "PlaybackEngineFactory.h"
#include "ProcessSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    processsetup::beforeApplication();
    QApplication app(argc, argv);
    processsetup::afterApplication();
    if (argc < 2) {
        std::fputs("usage: bench_first_frame URL [RUNS]\n", stderr);
        return 2;
    }
    const QString url = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;

    setPlaybackEngineFactory([] {
        MpvEngine::Settings settings;
        settings.core.audioOutput = "null"; // as the baseline: no sound device here
        return std::make_unique<MpvEngine>(settings);
    });
    MediaPlayer::Settings s;
    s.volume = 12;
    s.stretchToFit = true;
    s.enableContextMenu = false;
    MediaPlayer player(s);
    player.resize(574, 470);
    player.show();

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
        QObject::connect(&player, &MediaPlayer::firstFrame, &loop, [&loop] { loop.exit(0); });
        QElapsedTimer clock;
        clock.start();
        player.setURL(url);
        timeout.start(20000);
        const int rc = loop.exec();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        QObject::disconnect(&player, &MediaPlayer::firstFrame, &loop, nullptr);
        if (rc != 0) {
            std::fprintf(stderr, "run %d: no picture (%s)\n", i + 1, qPrintable(player.statusText()));
            return 1;
        }
        std::printf("run %d: %.1f ms\n", i + 1, ms);
        times.push_back(ms);
        // Let the stream settle before the next switch, as a viewer would.
        QEventLoop pause;
        QTimer::singleShot(300, &pause, &QEventLoop::quit);
        pause.exec();
    }
    std::sort(times.begin(), times.end());
    std::printf("median: %.1f ms\n", times[times.size() / 2]);
    return 0;
}
