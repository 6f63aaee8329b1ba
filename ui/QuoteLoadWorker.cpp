#include "ui/QuoteLoadWorker.h"

#include "dataclient/dbServerConnection.h"
#include "toolkit/Host.h"
#include "ui/QuoteLoad.h"

#include <sys/socket.h>
#include <unistd.h>

cQuoteLoadWorker::cQuoteLoadWorker(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<std::shared_ptr<const cProviderQuotes>>();
}

cQuoteLoadWorker::~cQuoteLoadWorker()
{
    Stop();
}

void cQuoteLoadWorker::Start(const cServerAddresses &addresses, const std::string &providerKey,
                             unsigned generation)
{
    if (Thread.joinable())
        Thread.join(); // it has handed its result over already, or Stop is what ends it
    Thread = std::thread(&cQuoteLoadWorker::Run, this, addresses, providerKey, generation);
}

void cQuoteLoadWorker::Stop()
{
    Stopping = true;
    {
        std::lock_guard<std::mutex> lock(CancelMutex);
        if (CancelHandle >= 0)
            ::shutdown(CancelHandle, SHUT_RDWR);
    }
    if (Thread.joinable())
        Thread.join();
    Link.reset();
    Stopping = false;
}

void cQuoteLoadWorker::Run(cServerAddresses addresses, std::string providerKey, unsigned generation)
{
    // Nothing this thread runs may reach the window system: boxes and message processing go to a
    // host of its own.
    cHeadlessHost quiet;
    cScopedThreadHost host(&quiet);
    if (!Link)
        Link = std::make_unique<dbServerConnection>(addresses.FunctionServerAddress,
                                                    addresses.FunctionServerPort, "", "", false,
                                                    addresses.ReplyTimeoutSeconds);
    else
        Link->EnsureConnected();
    {
        std::lock_guard<std::mutex> lock(CancelMutex);
        if (Stopping)
            return;
        if (Link->IsConnectedFlag && Link->Socket)
            CancelHandle = ::dup(Link->Socket->GetSocket());
    }
    std::shared_ptr<const cProviderQuotes> quotes = FetchProviderQuotes(Link.get(), providerKey);
    {
        std::lock_guard<std::mutex> lock(CancelMutex);
        if (CancelHandle >= 0)
            ::close(CancelHandle);
        CancelHandle = -1;
    }
    if (Stopping)
        return;
    QMetaObject::invokeMethod(
        this, [this, generation, quotes] { emit Finished(generation, quotes); }, Qt::QueuedConnection);
}
