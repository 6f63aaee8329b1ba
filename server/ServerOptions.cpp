#include "server/ServerOptions.h"

#include "toolkit/DateTime.h"

std::string ServerUsage()
{
    return "Usage: DorvaneServer --data DIR [options]\n"
           "Simulated data server (TLS) and function server (plain TCP) on SQLite.\n"
           "  --data DIR                 data folder: database, certificate, key and the file area "
           "DIR/files\n"
           "                             (created when missing; a new folder gets the demo data)\n"
           "  --data-port N              data server port (default 0: a free port)\n"
           "  --function-port N          function server port (default 0: a free port)\n"
           "  --reset-demo               delete the database and start again from the demo data\n"
           "  --hospital-activity SECS   every SECS seconds post a new need to the demo provider or\n"
           "                             award one of its accepted quotes\n"
           "  --log-level LEVEL          error, warn, info (default) or debug, on standard error\n"
           "  --bind ADDRESS             listening address (default 127.0.0.1)\n"
           "  --greeting TEXT            send TEXT on each new data connection before the first request\n"
           "  --cert FILE --key FILE     TLS certificate and key (default: generated into the data folder)\n"
           "  --max-connections N        open connections of both servers together (default 400);\n"
           "                             more are closed as soon as they are accepted\n"
           "  --handshake-timeout SECS   close a data connection that has not finished the TLS and\n"
           "                             program handshake within SECS seconds (default 10)\n"
           "  --idle-timeout SECS        close a connection that sends no request for SECS seconds\n"
           "                             (default 600)\n"
           "  --help                     this text\n"
           "Once both listeners are open, one line \"data-port=N function-port=M\" is printed on\n"
           "standard output. SIGINT or SIGTERM stops the server.\n";
}

bool ParseServerOptions(int argc, const char *const *argv, cServerOptions &options, bool &help,
                        std::string &error)
{
    help = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        auto value = [&](std::string &out)
        {
            if (i + 1 >= argc)
            {
                error = "Missing value after " + arg;
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto number = [&](int &out, int low, int high)
        {
            std::string text;
            if (!value(text))
                return false;
            if (!TryStrToInt(text, out) || out < low || out > high)
            {
                error = "Invalid value for " + arg + ": " + text;
                return false;
            }
            return true;
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h")
            help = true;
        else if (arg == "--data")
            ok = value(options.DataFolder);
        else if (arg == "--data-port")
            ok = number(options.DataPort, 0, 65535);
        else if (arg == "--function-port")
            ok = number(options.FunctionPort, 0, 65535);
        else if (arg == "--reset-demo")
            options.ResetDemo = true;
        else if (arg == "--hospital-activity")
            ok = number(options.HospitalActivitySeconds, 1, 86400);
        else if (arg == "--log-level")
        {
            ok = value(options.LogLevel);
            if (ok && options.LogLevel != "error" && options.LogLevel != "warn" &&
                options.LogLevel != "info" && options.LogLevel != "debug")
            {
                error = "Unknown log level " + options.LogLevel;
                ok = false;
            }
        }
        else if (arg == "--bind")
            ok = value(options.BindAddress);
        else if (arg == "--greeting")
            ok = value(options.Greeting);
        else if (arg == "--cert")
            ok = value(options.CertificateFile);
        else if (arg == "--key")
            ok = value(options.KeyFile);
        else if (arg == "--max-connections")
            ok = number(options.MaxConnections, 1, 100000);
        else if (arg == "--handshake-timeout")
            ok = number(options.HandshakeTimeoutSeconds, 1, 3600);
        else if (arg == "--idle-timeout")
            ok = number(options.IdleTimeoutSeconds, 1, 604800);
        else
        {
            error = "Unknown option " + arg;
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (help)
        return true;
    if (options.DataFolder.empty())
    {
        error = "--data DIR is required";
        return false;
    }
    if (options.CertificateFile.empty() != options.KeyFile.empty())
    {
        error = "--cert and --key go together";
        return false;
    }
    return true;
}
