// Start-up to an idle, shown main window under Xvfb: the median time over
// several fresh processes and the resident memory at that moment, beside a
// bare Qt window started the same way.
//
//   startup_bench [RUNS]
#include "app/app_start.h"
#include "app/tform1.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long residentKiB()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kib = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1)
            break;
    if (status)
        std::fclose(status);
    return kib;
}

// Reports once the window has painted and the event loop has nothing left.
class ReadyWatch : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%ld\n", residentKiB());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

int child(int argc, char** argv, bool bare)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ReadyWatch watch;
    if (bare) {
        QWidget window;
        window.resize(579, 398);
        window.installEventFilter(&watch);
        window.show();
        return app.exec();
    }
    vellumax::startApplication(app);
    vellumax::FormServices services;
    services.programFolder = "/tmp/vellumax-startup-bench/";
    vellumax::TForm1 form(std::move(services));
    form.installEventFilter(&watch);
    form.show();
    return app.exec();
}

struct Sample {
    double ms;
    long kib;
};

Sample runChild(const char* self, const char* mode)
{
    int out[2];
    if (::pipe(out) != 0)
        return {0, 0};
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(self, self, mode, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char buffer[64] = {};
    ssize_t n = ::read(out[0], buffer, sizeof buffer - 1);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {ms, n > 0 ? std::atol(buffer) : 0};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--window") == 0)
        return child(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
        return child(argc, argv, true);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;

    // A display of our own, so the figures do not depend on the session's.
    const char* display = ":93";
    const pid_t xvfb = ::fork();
    if (xvfb == 0) {
        ::execlp("Xvfb", "Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::sleep(2);
    ::setenv("DISPLAY", display, 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (::geteuid() == 0)
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    ::mkdir("/tmp/vellumax-startup-bench", 0755);

    std::vector<double> window, bare, windowMiB, bareMiB;
    runChild(argv[0], "--window"); // warm the file cache
    for (int i = 0; i < runs; ++i) {
        Sample b = runChild(argv[0], "--bare");
        Sample w = runChild(argv[0], "--window");
        bare.push_back(b.ms);
        window.push_back(w.ms);
        bareMiB.push_back(b.kib / 1024.0);
        windowMiB.push_back(w.kib / 1024.0);
    }
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);

    std::printf("runs: %d under Xvfb\n", runs);
    std::printf("bare Qt window:  %7.0f ms, %6.1f MiB resident\n", median(bare), median(bareMiB));
    std::printf("main window:     %7.0f ms, %6.1f MiB resident  (%.2f x the bare window's time)\n", median(window),
                median(windowMiB), median(window) / median(bare));
    return 0;
}
