// The BIO that joins a TLS object to a socket descriptor (see SocketBio.h).
#include "net/SocketBio.h"

#include <openssl/bio.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/socket.h>

namespace
{
struct BioState
{
    int Fd = -1;
    bool Eof = false;
};

BioState *StateOf(BIO *bio)
{
    return static_cast<BioState *>(BIO_get_data(bio));
}

int BioWrite(BIO *bio, const char *data, int length)
{
    BIO_clear_retry_flags(bio);
    BioState *state = StateOf(bio);
    if (state == nullptr || data == nullptr || length <= 0)
        return 0;
    ssize_t sent;
    do
    {
        sent = send(state->Fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        BIO_set_retry_write(bio);
    return static_cast<int>(sent);
}

int BioRead(BIO *bio, char *data, int length)
{
    BIO_clear_retry_flags(bio);
    BioState *state = StateOf(bio);
    if (state == nullptr || data == nullptr || length <= 0)
        return 0;
    ssize_t got;
    do
    {
        got = recv(state->Fd, data, static_cast<std::size_t>(length), MSG_DONTWAIT);
    } while (got < 0 && errno == EINTR);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        BIO_set_retry_read(bio);
    if (got == 0)
        state->Eof = true;
    return static_cast<int>(got);
}

int BioPuts(BIO *bio, const char *text)
{
    return BioWrite(bio, text, static_cast<int>(std::strlen(text)));
}

long BioCtrl(BIO *bio, int command, long, void *pointer)
{
    BioState *state = StateOf(bio);
    switch (command)
    {
    case BIO_CTRL_EOF:
        return state != nullptr && state->Eof ? 1 : 0;
    case BIO_C_GET_FD:
        if (state == nullptr)
            return -1;
        if (pointer != nullptr)
            *static_cast<int *>(pointer) = state->Fd;
        return state->Fd;
    case BIO_CTRL_GET_CLOSE:
        return BIO_NOCLOSE;
    case BIO_CTRL_SET_CLOSE:
    case BIO_CTRL_FLUSH:
    case BIO_CTRL_DUP:
        return 1;
    default:
        return 0;
    }
}

int BioCreate(BIO *bio)
{
    BIO_set_data(bio, new (std::nothrow) BioState);
    BIO_set_init(bio, 0);
    return BIO_get_data(bio) != nullptr ? 1 : 0;
}

int BioDestroy(BIO *bio)
{
    if (bio == nullptr)
        return 0;
    delete StateOf(bio);
    BIO_set_data(bio, nullptr);
    BIO_set_init(bio, 0);
    return 1;
}

const BIO_METHOD *SocketBioMethod()
{
    static const BIO_METHOD *method = []
    {
        BIO_METHOD *m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR,
                                     "socket without SIGPIPE");
        if (m != nullptr)
        {
            BIO_meth_set_write(m, BioWrite);
            BIO_meth_set_read(m, BioRead);
            BIO_meth_set_puts(m, BioPuts);
            BIO_meth_set_ctrl(m, BioCtrl);
            BIO_meth_set_create(m, BioCreate);
            BIO_meth_set_destroy(m, BioDestroy);
        }
        return m;
    }();
    return method;
}

} // namespace

namespace net_internal
{
BIO *NewSocketBio(int fd)
{
    const BIO_METHOD *method = SocketBioMethod();
    if (method == nullptr)
        return nullptr;
    BIO *bio = BIO_new(method);
    if (bio == nullptr)
        return nullptr;
    StateOf(bio)->Fd = fd;
    BIO_set_init(bio, 1);
    return bio;
}
} // namespace net_internal
