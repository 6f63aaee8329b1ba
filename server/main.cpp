// DorvaneServer: the simulated data and function server with its demo data.
#include "server/Server.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char **argv)
{
    cServerOptions options;
    bool help = false;
    std::string error;
    if (!ParseServerOptions(argc, argv, options, help, error))
    {
        std::fprintf(stderr, "%s\n\n%s", error.c_str(), ServerUsage().c_str());
        return 2;
    }
    if (help)
    {
        std::fputs(ServerUsage().c_str(), stdout);
        return 0;
    }
    // SIGINT and SIGTERM are taken by sigwait below; every thread inherits the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    cServer server(options);
    if (!server.Start(error))
    {
        std::fprintf(stderr, "DorvaneServer: %s\n", error.c_str());
        return 1;
    }
    std::printf("data-port=%d function-port=%d\n", server.DataPort(), server.FunctionPort());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    std::fprintf(stderr, "DorvaneServer: stopping\n");
    server.Stop();
    return 0;
}
