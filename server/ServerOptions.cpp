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
           "  --sign-updates KEY         Ed25519 private key (PEM): each file of the file area that is\n"
           "                             asked about gets NAME.sig beside it, the signature of NAME as it\n"
           "                             is, made with KEY (the client's update copy is signed so)\n"
           "  --help                     this text\n"
           "Once both listeners are open, one line \"data-port=N function-port=M\" is printed on\n"
           "standard output. SIGINT or SIGTERM stops the server.\n";
}

namespace
{
// Options that take a text, and options that take a whole number within bounds.
struct cTextOption
{
    const char *Name;
    std::string cServerOptions::*Member;
};
struct cNumberOption
{
    const char *Name;
    int cServerOptions::*Member;
    int Low, High;
};

const cTextOption TextOptions[] = {
    {"--data", &cServerOptions::DataFolder},
    {"--log-level", &cServerOptions::LogLevel},
    {"--bind", &cServerOptions::BindAddress},
    {"--greeting", &cServerOptions::Greeting},
    {"--cert", &cServerOptions::CertificateFile},
    {"--key", &cServerOptions::KeyFile},
    {"--sign-updates", &cServerOptions::SignUpdatesKey},
};
const cNumberOption NumberOptions[] = {
    {"--data-port", &cServerOptions::DataPort, 0, 65535},
    {"--function-port", &cServerOptions::FunctionPort, 0, 65535},
    {"--hospital-activity", &cServerOptions::HospitalActivitySeconds, 1, 86400},
    {"--max-connections", &cServerOptions::MaxConnections, 1, 100000},
    {"--handshake-timeout", &cServerOptions::HandshakeTimeoutSeconds, 1, 3600},
    {"--idle-timeout", &cServerOptions::IdleTimeoutSeconds, 1, 604800},
};

// Reads the option at argv[i] (and its value, advancing i); false with `error` when it is unknown
// or its value is missing or out of bounds.
bool ParseOne(int argc, const char *const *argv, int &i, cServerOptions &options, bool &help,
              std::string &error)
{
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h")
        return help = true;
    if (arg == "--reset-demo")
        return options.ResetDemo = true;
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
    for (const cTextOption &option : TextOptions)
        if (arg == option.Name)
            return value(options.*option.Member);
    for (const cNumberOption &option : NumberOptions)
        if (arg == option.Name)
        {
            std::string text;
            if (!value(text))
                return false;
            int &out = options.*option.Member;
            if (TryStrToInt(text, out) && out >= option.Low && out <= option.High)
                return true;
            error = "Invalid value for " + arg + ": " + text;
            return false;
        }
    error = "Unknown option " + arg;
    return false;
}
} // namespace

bool ParseServerOptions(int argc, const char *const *argv, cServerOptions &options, bool &help,
                        std::string &error)
{
    help = false;
    for (int i = 1; i < argc; ++i)
        if (!ParseOne(argc, argv, i, options, help, error))
            return false;
    if (help)
        return true;
    const std::string &level = options.LogLevel;
    if (level != "error" && level != "warn" && level != "info" && level != "debug")
    {
        error = "Unknown log level " + level;
        return false;
    }
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
