#include "dataclient/dbServerConnection.h"

#include "dataclient/SocketCall.h"

#include "net/SecureSocket.h"
#include "toolkit/Files.h"
#include "toolkit/Host.h"

#include <cmath>
#include <cstring>

namespace
{
bool IsLinkFailure(int rc)
{
    return rc == SOCK_ERROR || rc == SOCK_TIMEOUT || rc == SOCK_DISCONNECTED;
}

void PutInt32(unsigned char *at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

// Upper bound on bytes thrown away after connecting, so a peer that never stops talking cannot
// hold the connect forever.
constexpr int MaxDrainBytes = 1 << 20;
} // namespace

dbServerConnection::dbServerConnection(const std::string &address, const std::string &port,
                                       const std::string &programID, const std::string &key, bool secure,
                                       int receiveTimeout, const cSecureLinkSettings &settings)
    : MessageBuffer(MessageBufferSize, 0), Address(address), Port(port), Key(key), ProgramID(programID),
      Secure(secure), ReceiveTimeout(receiveTimeout), SecureSettings(settings)
{
    IsConnectedFlag = Connect();
}

dbServerConnection::~dbServerConnection()
{
    Close();
}

void dbServerConnection::Close()
{
    IsConnectedFlag = false;
    if (Socket)
    {
        SocketCall(
            [this]
            {
                Socket->Close();
                return 0;
            });
        Socket.reset();
    }
}

int dbServerConnection::PortNumber() const
{
    return StrToIntDef(Port, DefaultPort);
}

std::string dbServerConnection::ServerName() const
{
    return Address + ":" + std::to_string(PortNumber());
}

std::string dbServerConnection::PeerCertificateSHA256() const
{
    const auto *secure = dynamic_cast<const SecureSocket *>(Socket.get());
    return secure ? secure->PeerCertificateSHA256() : std::string();
}

void RepaintWhileWaiting()
{
    Host().RepaintWindows();
}

void dbServerConnection::WriteDebugLog(const std::string &message)
{
    if (!DebugLogEnabled)
        return;
    AppendLineToFile(DebugLogPath, FormatDateTime("hh:nn:ss:zzz ", Now()) + message);
}

bool dbServerConnection::Connect()
{
    if (IsConnectedFlag)
    {
        WriteDebugLog("Connect::return true");
        return true;
    }
    if (!Socket)
        WriteDebugLog("Connect::NoSocket");
    if (!OpenLink())
        return false;
    IsConnectedFlag = true;
    DrainUnaskedBytes();
    return ProgramID.empty() || Handshake();
}

bool dbServerConnection::OpenLink()
{
    // The socket is made inside the guard: a TLS socket whose context cannot be created throws.
    return SocketCall(
               [this]
               {
                   if (!Socket)
                       Socket = NewSocket();
                   return Socket->Connect(Address.c_str(), PortNumber());
               }) == SOCK_SUCCESS;
}

std::unique_ptr<PlainSocket> dbServerConnection::NewSocket() const
{
    std::unique_ptr<PlainSocket> socket;
    const int ms = SecureSettings.HandshakeMilliseconds;
    if (Secure)
    {
        auto secureSocket = std::make_unique<SecureSocket>();
        secureSocket->SetCertificatePin(SecureSettings.CertificateSHA256);
        if (ms >= 0)
            secureSocket->SetHandshakeTimeout(ms / 1000, (ms % 1000) * 1000);
        socket = std::move(secureSocket);
    }
    else
        socket = std::make_unique<PlainSocket>();
    if (ms >= 0)
        socket->SetConnectTimeout(ms / 1000, (ms % 1000) * 1000);
    // A send that makes no progress is bounded as a reply is.
    socket->SetSendTimeout(ReceiveTimeout, 0);
    return socket;
}

void dbServerConnection::DrainUnaskedBytes()
{
    // Throw away whatever the server sent before being asked.
    for (int drained = 0; drained < MaxDrainBytes;)
    {
        const int n = SocketCall([this] { return Socket->ReceiveBytes(MessageBuffer.data(), 100, 0, 1); });
        if (n <= 0)
            break;
        drained += n;
    }
}

bool dbServerConnection::Handshake()
{
    // The handshake runs inside Connect: a failed send must not start another reconnection
    // from here, or a peer that keeps dropping the link would recurse without end.
    InConnect = true;
    struct cReset
    {
        bool &Flag;
        ~cReset() { Flag = false; }
    } reset{InConnect};

    Request.Clear();
    Request.SetValues("Key", Key);
    Request.SetValues("ProgramID", ProgramID);
    if (!SendMessage(MsgHandshake, 0, Request.CommaText()))
    {
        // A handshake without a usable answer (a lone NUL, say) leaves the link unaccepted, so
        // the next request reconnects instead of running on a link the server never accepted.
        IsConnectedFlag = false;
        return false;
    }
    return TakeHandshakeReply();
}

bool dbServerConnection::TakeHandshakeReply()
{
    ServerDate = StrToFloatDef(Reply.Values("Date"), 0);
    if (std::trunc(ServerDate) == 0 && SendMessage(MsgDate, 0, std::string()))
    {
        ServerDate = StrToFloatDef(Reply.Values("Date"), 0);
        return true;
    }
    RunningFolder = Reply.Values("RunningFolder");
    RemoteIP = Reply.Values("RemoteIP");
    IsConnectedFlag = Reply.Values("Accepted") == "Y";
    if (IsConnectedFlag)
        return true;
    // Refused: drop the socket so that the next attempt starts afresh.
    Socket.reset();
    return false;
}

bool dbServerConnection::Connected()
{
    if (!IsConnectedFlag)
        return false;
    if (Socket)
        SocketCall([this] { return Socket->IsConnected() ? 1 : 0; });
    return true;
}

bool dbServerConnection::EnsureConnected()
{
    if (!IsConnectedFlag)
        Reconnect();
    return IsConnectedFlag;
}

bool dbServerConnection::Reconnect()
{
    Socket.reset();
    IsConnectedFlag = false;
    // Paint only: a timer or a click handled here would send on this link while it reconnects.
    Host().RepaintWindows();
    return Connect();
}

int dbServerConnection::SendFrameResult(int messageCode, int messageArg, const std::string &body)
{
    if (!EnsureConnected())
        return FrameFailed;
    if (body.size() + 1 > MaxBodyLength)
    {
        Host().MessageBox("Application Error", "Sending a message larger than MessageBuffer",
                          cHostButtons::Ok);
        return FrameTooLarge;
    }
    if (!Socket)
        return FrameFailed;
    const std::uint32_t bodyLength = static_cast<std::uint32_t>(body.size() + 1);
    unsigned char *buffer = MessageBuffer.data();
    PutInt32(buffer, bodyLength);
    PutInt32(buffer + 4, static_cast<std::uint32_t>(messageCode));
    PutInt32(buffer + 8, static_cast<std::uint32_t>(messageArg));
    std::memcpy(buffer + FrameHeaderSize, body.data(), body.size());
    buffer[FrameHeaderSize + body.size()] = 0;
    const int rc = SocketCall([&] { return Socket->Send(buffer, FrameHeaderSize + bodyLength); });
    if (IsLinkFailure(rc))
    {
        IsConnectedFlag = false;
        return FrameFailed;
    }
    return FrameSent;
}

bool dbServerConnection::SendFrame(int messageCode, int messageArg, const std::string &body)
{
    return SendFrameResult(messageCode, messageArg, body) == FrameSent;
}

bool dbServerConnection::ReceiveReply()
{
    if (!ReceiveText())
        return false;
    Reply.SetCommaText(ReplyText);
    LastError = Reply.Values("Error");
    LastErrorCode = StrToIntDef(Reply.Values("ErrorCode"), 0);
    Reply.SetValues("Error", "");
    Reply.SetValues("ErrorCode", "");
    return true;
}

bool dbServerConnection::ReceiveText()
{
    LastError.clear();
    LastErrorCode = 0;
    if (!EnsureConnected() || !Socket)
        return false;
    ReplyText.clear();
    Reply.Clear();
    MessageBuffer[ReplyChunkSize] = 0;
    for (;;)
    {
        const int rc = SocketCall(
            [this]
            { return Socket->ReceiveUntilNul(MessageBuffer.data(), ReplyChunkSize, ReceiveTimeout, 0); });
        if (rc < 0)
        {
            IsConnectedFlag = false;
            return false;
        }
        const char *chunk = reinterpret_cast<const char *>(MessageBuffer.data());
        ReplyText.append(chunk, strnlen(chunk, ReplyChunkSize));
        if (rc > 0)
            break;
        if (ReplyText.size() > MaxReplyLength)
        {
            // The rest of this reply is still on the wire; only a new link gets back in step.
            IsConnectedFlag = false;
            return false;
        }
    }
    return !ReplyText.empty();
}

bool dbServerConnection::SendMessage(int messageCode, int messageArg, const std::string &body)
{
    if (!EnsureConnected())
        return false;
    switch (SendFrameResult(messageCode, messageArg, body))
    {
    case FrameSent:
        return ReceiveReply();
    case FrameTooLarge:
        // Nothing went out; the link is still good.
        return false;
    default:
        if (!InConnect)
            Reconnect();
        return false;
    }
}

bool dbServerConnection::SendText(const std::string &text)
{
    if (!Socket)
        return false;
    const int rc =
        SocketCall([&] { return Socket->Send(text.c_str(), static_cast<std::uint32_t>(text.size() + 1)); });
    if (IsLinkFailure(rc))
    {
        IsConnectedFlag = false;
        return false;
    }
    ReceiveText();
    return true;
}
