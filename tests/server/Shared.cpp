#include "tests/server/Shared.h"

#include <gtest/gtest.h>

cServerProcess &SharedServer()
{
    static cServerProcess *server = []
    {
        auto *s = new cServerProcess;
        if (!s->Start())
            ADD_FAILURE() << "DorvaneServer did not start";
        return s;
    }();
    return *server;
}

namespace
{
// Stops the shared server when the test binary ends.
class cStopServer : public ::testing::Environment
{
public:
    void TearDown() override
    {
        SharedServer().Stop();
        delete &SharedServer();
    }
};
const auto *registered = ::testing::AddGlobalTestEnvironment(new cStopServer);
} // namespace

std::unique_ptr<dbServerConnection> DataConnection(const std::string &programID)
{
    return std::make_unique<dbServerConnection>("127.0.0.1", SharedServer().DataPortText(), programID, "",
                                                true, 20);
}

std::unique_ptr<dbServerConnection> FunctionConnection()
{
    return std::make_unique<dbServerConnection>("127.0.0.1", SharedServer().FunctionPortText(), "", "", false,
                                                20);
}
