// Runs the quote load on a thread of its own, over a function-server link of its own opened from
// the session's addresses, so the window's thread stays free while the request, the reply and its
// parse take their time. The window only swaps the finished case model in.
#pragma once

#include "state/ServerLinks.h"
#include "workspace/ProviderQuotes.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class dbServerConnection;

class cQuoteLoadWorker : public QObject
{
    Q_OBJECT

public:
    explicit cQuoteLoadWorker(QObject *parent = nullptr);
    ~cQuoteLoadWorker() override;

    // Starts loading the provider's quotes; Finished hands generation back with the case model
    // (null when the exchange failed). A load still running is stopped first.
    void Start(const cServerAddresses &addresses, const std::string &providerKey, unsigned generation);
    // Ends a running load without waiting on the server: its link is shut down (a connect still
    // under way ends first, within the connect limit) and closed; nothing is emitted for it.
    void Stop();

signals:
    void Finished(unsigned generation, std::shared_ptr<const cProviderQuotes> quotes);

private:
    void Run(cServerAddresses addresses, std::string providerKey, unsigned generation);

    std::thread Thread;
    // The worker's link, used only by the thread while it runs; kept between loads and opened
    // again by the next load once lost.
    std::unique_ptr<dbServerConnection> Link;
    // A duplicate of the link's socket while an exchange runs: shutting it down ends the
    // exchange at once, and it cannot be a reused descriptor of another socket.
    std::mutex CancelMutex;
    int CancelHandle = -1;
    std::atomic<bool> Stopping{false};
};
