// The client's footprint, each figure beside a baseline from the same run.
//
// Start to a painted login window: the built client, copied with a Dorvane.ini of its own into a
// temporary folder, is started offscreen. Its login window connects to the servers from its first
// paint (through a zero-delay timer), so the time from the start to the first connection on the
// data port is the time to a painted login window. Baseline: this program started as a bare Qt
// window that does the same (start, paint, connect from a zero-delay timer).
//
// Resident memory with 10,000 quotes: this program, started in footprint mode, signs in against
// DorvaneServer's demo data as the login window does, opens the main window (the windows of the
// client's entry) over a function server that answers with 2,000 cases of 5 quotes each, waits
// until both lists hold them and reports its resident set. Baseline: the same over a function
// server that has no quotes. Each run is a process of its own, so nothing of an earlier run counts.
#include "bench/QuoteReplies.h"
#include "bench/ReplyServer.h"
#include "state/Session.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"
#include "ui/CategorySelectionForm.h"
#include "ui/Forms.h"
#include "ui/MainForm.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"
#include "workspace/ProviderQuotes.h"
#include "workspace/SignedInUser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <QWidget>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{
constexpr int StartBoundMs = 60000;

std::string SelfPath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// A loopback listener on a free port.
class cListener
{
public:
    cListener() { Fd = bench::ListenOnLoopback(Port); }
    ~cListener() { ::close(Fd); }
    cListener(const cListener &) = delete;
    cListener &operator=(const cListener &) = delete;

    // Waits for one connection and closes it; false when none came in time.
    bool AcceptOne(int timeoutMs)
    {
        pollfd ready{Fd, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) <= 0)
            return false;
        const int link = ::accept4(Fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (link < 0)
            return false;
        ::close(link);
        return true;
    }

    int Fd = -1;
    int Port = 0;
};

// A child process; killed and waited for when the object goes.
class cChild
{
public:
    explicit cChild(const std::vector<std::string> &args)
    {
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        if (::posix_spawn(&Pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            Pid = -1;
    }
    // Starts it with its standard output into a pipe, read by Output.
    cChild(const std::vector<std::string> &args, bool captureOutput)
    {
        std::vector<char *> argv;
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        int out[2];
        if (!captureOutput || ::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (::posix_spawn(&Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            Pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        OutFd = out[0];
    }
    ~cChild()
    {
        if (Pid > 0)
        {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, nullptr, 0);
        }
        if (OutFd >= 0)
            ::close(OutFd);
    }
    cChild(const cChild &) = delete;
    cChild &operator=(const cChild &) = delete;

    // What it writes to standard output until it ends or the bound runs out.
    std::string Output(int timeoutMs)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (OutFd >= 0 && std::chrono::steady_clock::now() < deadline)
        {
            pollfd ready{OutFd, POLLIN, 0};
            if (::poll(&ready, 1, 200) <= 0)
                continue;
            char buffer[512];
            const ssize_t n = ::read(OutFd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

    pid_t Pid = -1;
    int OutFd = -1;
};

std::string IniText(int dataPort, int functionPort)
{
    return "[DataServer]\r\nIP=127.0.0.1\r\nPort=" + std::to_string(dataPort) +
           "\r\n\r\n[FunctionServer]\r\nIP=127.0.0.1\r\nPort=" + std::to_string(functionPort) + "\r\n";
}

// ---- Start to a painted window -------------------------------------------------------------

// Starts the program (started by args) and times it until the listener sees its first connection.
void TimeStart(benchmark::State &state, const std::vector<std::string> &args, cListener &listener)
{
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        cChild child(args);
        if (child.Pid <= 0 || !listener.AcceptOne(StartBoundMs))
        {
            state.SkipWithError("the window did not connect after its first paint");
            return;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
    }
}

void BM_ClientStartToPaintedLogin(benchmark::State &state)
{
#ifdef DORVANE_CLIENT_PATH
    cTempDir folder("dorvane_bench_client_");
    cListener listener;
    const std::string client = folder.File("DorvaneProvider.exe");
    std::error_code error;
    std::filesystem::copy_file(DORVANE_CLIENT_PATH, client, error);
    if (error || folder.Write("Dorvane.ini", IniText(listener.Port, listener.Port)).empty())
    {
        state.SkipWithError("no copy of the client");
        return;
    }
    TimeStart(state, {client}, listener);
#else
    state.SkipWithError("the client is not part of this build");
#endif
}
BENCHMARK(BM_ClientStartToPaintedLogin)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_BareWindowStartToPaint(benchmark::State &state)
{
    cListener listener;
    TimeStart(state, {SelfPath(), "--painted-window", std::to_string(listener.Port)}, listener);
}
BENCHMARK(BM_BareWindowStartToPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// A bare window that connects to the port from its first paint, as the login window does.
class cPaintedWindow : public QWidget
{
public:
    explicit cPaintedWindow(int port) : Port(port) { resize(400, 300); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        if (Connected)
            return;
        Connected = true;
        QTimer::singleShot(0, this,
                           [this]
                           {
                               const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                               sockaddr_in address{};
                               address.sin_family = AF_INET;
                               address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                               address.sin_port = htons(static_cast<std::uint16_t>(Port));
                               ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
                               Link = fd;
                           });
    }

private:
    int Port;
    bool Connected = false;
    int Link = -1;
};

int PaintedWindowMain(int argc, char **argv, int port)
{
    QApplication application(argc, argv);
    cPaintedWindow window(port);
    window.show();
    return application.exec();
}

// ---- Resident memory with the quotes loaded ------------------------------------------------

cServerProcess &DataServer()
{
    static cServerProcess server;
    [[maybe_unused]] static const bool started = server.Start();
    return server;
}

// Runs this program in footprint mode against the data server and a function server answering
// reply; the resident bytes it reports, or 0.
double Footprint(benchmark::State &state, const std::string &reply, int quotes)
{
    if (DataServer().DataPort == 0)
    {
        state.SkipWithError(("no data server: " + DataServer().Error).c_str());
        return 0;
    }
    bench::cReplyServer functions(reply);
    cTempDir folder("dorvane_bench_footprint_");
    if (folder.Write("Dorvane.ini", IniText(DataServer().DataPort, functions.Port)).empty())
    {
        state.SkipWithError("no Dorvane.ini");
        return 0;
    }
    cChild child({SelfPath(), "--footprint", folder.Path, std::to_string(quotes)}, true);
    const std::string output = child.Output(StartBoundMs);
    double bytes = 0;
    if (std::sscanf(output.c_str(), "resident=%lf", &bytes) != 1 || bytes <= 0)
        state.SkipWithError(("the main window reported no memory: " + output).c_str());
    return bytes;
}

void MemoryBenchmark(benchmark::State &state, const std::string &reply, int quotes)
{
    double bytes = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        bytes = Footprint(state, reply, quotes);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
    }
    state.counters["resident_bytes"] = bytes;
}

void BM_ClientMemoryWith10000Quotes(benchmark::State &state)
{
    static const std::string reply = bench::MakeLargeQuotesReply();
    MemoryBenchmark(state, reply, bench::LargeReplyCases * bench::LargeReplyQuotesPerCase);
}
BENCHMARK(BM_ClientMemoryWith10000Quotes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_ClientMemoryWithoutQuotes(benchmark::State &state)
{
    MemoryBenchmark(state, "{NoQuotes:\"There are no quotes for this provider\"}", 0);
}
BENCHMARK(BM_ClientMemoryWithoutQuotes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

long ResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6) * 1024;
    return 0;
}

bool WaitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition())
    {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Signs in as the demo administrator (as the login window does), shows the windows of the client's
// entry and waits until the main window holds `quotes` quotes (or the server's "no quotes"), then
// prints its resident bytes.
int FootprintMain(int argc, char **argv, const std::string &folder, int quotes)
{
    QApplication application(argc, argv);
    cHeadlessHost host;
    cScopedHost installed(&host);
    cSession &session = Session();
    session.ProgramFolder = folder;
    session.Addresses = ReadServerAddresses(folder + "Dorvane.ini");
    if (!session.Connect() || !session.ReadPersonnel("admin@bayview.example", session.PersonnelRecord) ||
        !PasswordAccepted(session.PersonnelRecord, "demo1234"))
    {
        std::printf("could not sign in\n");
        return 1;
    }
    CreateWorkspaceForms();
    MainForm->show();
    auto *tree = MainForm->findChild<QTreeView *>("OpenCaseTreeView");
    const bool loaded =
        tree && WaitUntil(
                    [&]
                    {
                        const auto model = MainForm->LoadedQuotes();
                        return MainForm->WorkspaceReady() &&
                               (quotes > 0 ? model->QuoteCount() == quotes && tree->model()->rowCount() > 0
                                           : !model->NoQuotes.empty());
                    },
                    StartBoundMs);
    if (!loaded)
    {
        std::printf("the main window did not load the quotes\n");
        return 1;
    }
    // Whatever the load left to paint is painted.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::printf("resident=%ld\n", ResidentBytes());
    std::fflush(stdout);
    // The process ends here: its memory goes with it.
    std::_Exit(0);
}
} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc == 3 && std::strcmp(argv[1], "--painted-window") == 0)
        return PaintedWindowMain(argc, argv, std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "--footprint") == 0)
        return FootprintMain(argc, argv, argv[2], std::atoi(argv[3]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
