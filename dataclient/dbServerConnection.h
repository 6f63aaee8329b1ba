// The client's link to one server (the data server over TLS, or the function server over plain
// TCP): request frames, the handshake, reply lists, reconnection, and the table requests and file
// transfers that run over it. Every exchange is synchronous on the calling thread.
#pragma once

#include "dataclient/DebugSwitches.h"
#include "net/PlainSocket.h"
#include "protocol/Protocol.h"
#include "toolkit/DateTime.h"
#include "toolkit/StringList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cProgressSink;

// Settings of a link that must be known before the constructor connects.
struct cSecureLinkSettings
{
    // SHA-256 of the server certificate (DER) as hex; empty: any certificate is accepted.
    std::string CertificateSHA256;
    // Bound on the TCP connect and on the TLS handshake of each connect (each on its own); a
    // server that never accepts or never answers the handshake fails the connect. Negative: none.
    int HandshakeMilliseconds = 30000;
};

class dbServerConnection
{
public:
    static constexpr int MessageBufferSize = 50004;
    static constexpr std::uint32_t MaxBodyLength = protocol::MaxBodyLength; // body text + NUL
    static constexpr int ReplyChunkSize = 50000;
    static constexpr int FrameHeaderSize = protocol::FrameHeaderSize;
    static constexpr int DefaultPort = 8700;
    // A reply longer than this fails the exchange instead of exhausting memory.
    static constexpr std::size_t MaxReplyLength = protocol::MaxReplyLength;

    // Message codes of this program.
    static constexpr int MsgHandshake = protocol::MsgHandshake;
    static constexpr int MsgDate = protocol::MsgDate;
    static constexpr int MsgTable = protocol::MsgTable;
    static constexpr int ArgAddRecord = protocol::ArgAddRecord;
    static constexpr int ArgDeleteRecord = protocol::ArgDeleteRecord;
    static constexpr int ArgReadRecord = protocol::ArgReadRecord;
    static constexpr int ArgUpdateRecord = protocol::ArgUpdateRecord;
    static constexpr int ArgReadFields = protocol::ArgReadFields;
    static constexpr int MsgFile = protocol::MsgFile;
    static constexpr int ArgDownloadFile = protocol::ArgDownloadFile;
    static constexpr int ArgFileInfo = protocol::ArgFileInfo;
    static constexpr int MsgBatch = protocol::MsgBatch;

    // Stores the arguments and connects at once; a failed connection shows only in
    // IsConnectedFlag.
    dbServerConnection(const std::string &address, const std::string &port, const std::string &programID,
                       const std::string &key, bool secure, int receiveTimeout,
                       const cSecureLinkSettings &settings = {});
    ~dbServerConnection();
    dbServerConnection(const dbServerConnection &) = delete;
    dbServerConnection &operator=(const dbServerConnection &) = delete;

    // Opens the link, drains what the server sent unasked and, with a ProgramID, handshakes.
    bool Connect();
    // False when the flag is clear; otherwise polls the socket once (noticing a closed peer)
    // and returns true. Never reconnects.
    bool Connected();
    // Reconnects when the flag is clear; returns the flag.
    bool EnsureConnected();
    // Deletes the socket, lets the host repaint the windows (paint only), then connects again.
    bool Reconnect();
    // Clears the flag and deletes the socket.
    void Close();

    // Sends one request frame; does not read the reply.
    bool SendFrame(int messageCode, int messageArg, const std::string &body);
    // Reads one NUL-terminated reply into ReplyText and Reply, taking "Error"/"ErrorCode" out.
    bool ReceiveReply();
    // Reads one NUL-terminated reply into ReplyText only (Reply stays empty, LastError clear).
    bool ReceiveText();
    // One complete exchange; a failed send reconnects and reports false (the request is not
    // repeated). True means only that a reply arrived.
    bool SendMessage(int messageCode, int messageArg, const std::string &body);
    // Function-server exchange: the text and its NUL with no frame, then one reply into ReplyText.
    // The reply is JSON, not comma text: Reply stays empty.
    bool SendText(const std::string &text);

    // Trace line behind DebugLogEnabled.
    void WriteDebugLog(const std::string &message);

    // Table requests (message 31001).
    // Returns the new record's Seq (the reply text), "" on failure. notes, when given, is
    // replaced by its encoded lines.
    std::string AddRecord(const std::string &table, const cStringList &lines, cStringList *notes = nullptr);
    bool DeleteRecord(const std::string &table, const std::string &seq);
    bool UpdateRecord(const std::string &table, const std::string &seq, const cStringList &lines,
                      cStringList *notes = nullptr);
    // Whole-record reads: line n of `lines` holds field n. Lines are filled on failure too.
    bool ReadRecord(const std::string &table, const std::string &seq, cStringList &lines,
                    cStringList *notes = nullptr, const std::string &aliasList = "",
                    const std::string &aliasFields = "");
    bool ReadList(const std::string &table, int indexNumber, const std::string &key, const std::string &owner,
                  cStringList &lines, cStringList *notes = nullptr, const std::string &aliasList = "",
                  const std::string &aliasFields = "");
    // Chosen-field read. fieldList: in, the comma list of codes; out, the comma-text of
    // code=value items (or an error text). notes: in/out notes text. With a local file, pictures
    // that the server sends ahead of the reply are written into it.
    bool ReadFieldsToFile(const std::string &table, int indexNumber, const std::string &key,
                          const std::string &owner, std::string &fieldList, const std::string &aliasList,
                          std::string &notes, int pictureNumber, const std::string &localFile,
                          cProgressSink *bar);
    bool ReadFields(const std::string &table, const std::string &key, std::string &fieldList,
                    const std::string &aliasList, std::string &notes, int pictureNumber = 0,
                    const std::string &localFile = "", cProgressSink *bar = nullptr);
    // The same without notes.
    bool ReadFields(const std::string &table, const std::string &key, std::string &fieldList,
                    const std::string &aliasList = "");

    // File requests (message 31002). GetFileInfo returns the packed file date (0 on failure)
    // and sets LastFileSize.
    std::int32_t GetFileInfo(const std::string &serverFile);
    // Downloads into localPath and dates it from the server; false on any failure, on a
    // negative size and for an empty server file (which still leaves an empty dated file).
    bool DownloadFile(const std::string &serverFile, const std::string &localPath,
                      cProgressSink *bar = nullptr);

    std::unique_ptr<PlainSocket> Socket; // a SecureSocket when Secure
    std::vector<unsigned char> MessageBuffer;
    std::string Address;
    std::string Port;
    std::string Key;
    std::string ProgramID;
    bool Secure = false;
    cDateTime ServerDate = 0;
    std::string RunningFolder;
    std::string RemoteIP;
    // Seconds a reply or download may go without receiving a byte, and a send without the system
    // taking a byte, before the exchange fails as a lost link; negative: no limit.
    int ReceiveTimeout = -1;
    cSecureLinkSettings SecureSettings;
    // True for a TLS link whose server certificate was checked against a pin.
    bool Pinned() const { return Secure && !SecureSettings.CertificateSHA256.empty(); }
    // The SHA-256 (64 lower-case hex digits) of the certificate the server showed when the present
    // socket connected; "" for a plain link or before a TLS connect succeeded. A reconnect makes a
    // new socket, so this names the server that carried the exchanges since.
    std::string PeerCertificateSHA256() const;
    // "ADDRESS:PORT" as this link connects to it (a port that is not a number gives 8700).
    std::string ServerName() const;
    bool IsConnectedFlag = false;
    cStringList Request;
    cStringList Reply;
    std::string ReplyText;
    std::string LastError;
    int LastErrorCode = 0;
    int LastFileSize = 0;

private:
    bool InConnect = false; // set while Connect runs its handshake

    enum
    {
        FrameSent,
        FrameTooLarge,
        FrameFailed
    };
    int SendFrameResult(int messageCode, int messageArg, const std::string &body);
    int PortNumber() const;
    // The steps of Connect: the socket made (when missing) and connected; what the server sent
    // unasked thrown away; the program handshake and its reply taken in.
    bool OpenLink();
    std::unique_ptr<PlainSocket> NewSocket() const;
    void DrainUnaskedBytes();
    bool Handshake();
    bool TakeHandshakeReply();
    // The steps of ReadFieldsToFile: its request (asking for a picture when one is given), and
    // the reply turned into code=value items.
    void SetReadFieldsRequest(const std::string &table, int indexNumber, const std::string &key,
                              const std::string &owner, const std::string &fieldList,
                              const std::string &aliasList, const std::string &notes,
                              const int *pictureNumber);
    bool TakeFieldsReply(std::string &fieldList, std::string &notes);
    bool FailReadRecord(cStringList &lines);
    // The end of a record read (message 31001, ReadRecord and ReadList): the notes and alias
    // values added to Request, the request sent and the reply's lines put in `lines`. False,
    // with the failure line in `lines`, when the request could not be sent.
    bool SendRecordRead(cStringList &lines, const cStringList *notes, const std::string &aliasList,
                        const std::string &aliasFields);
    // Opens (creating when missing) a local file for writing; -1 on failure.
    static int OpenLocalFile(const std::string &path, bool truncate);
    static void CloseLocalFile(int fd);
    // Reads an 8-byte download header; false when fewer than 8 bytes came.
    bool ReceiveFileHeader(std::int32_t &size, std::int32_t &date);
    // Reads size bytes into the open descriptor in pieces of at most ReplyChunkSize; with a bar,
    // its position is set and the windows repainted after each piece.
    bool ReceiveFileData(int fd, std::int32_t size, cProgressSink *bar);
    // The pictures of a chosen-field read: header and data until a header of size 0; the last
    // one stays in the file. Closes fd. False when the link broke or a header was not a size.
    bool ReceivePictures(const std::string &localFile, int fd, cProgressSink *bar);
};
