#include "publish/ContentHash.h"

#include "markup/LazyLibrary.h"

#include <QCryptographicHash>
#include <QIODevice>

#include <openssl/evp.h>

using namespace Qt::StringLiterals;

namespace {

// OpenSSL's libcrypto, loaded with the first hash: linked, it was mapped and set up at every
// start of the editor, which most starts never publish.
struct LibCrypto
{
    decltype(&::EVP_MD_CTX_new) contextNew = nullptr;
    decltype(&::EVP_MD_CTX_free) contextFree = nullptr;
    decltype(&::EVP_MD_CTX_copy_ex) contextCopy = nullptr;
    decltype(&::EVP_sha256) sha256 = nullptr;
    decltype(&::EVP_DigestInit_ex) init = nullptr;
    decltype(&::EVP_DigestUpdate) update = nullptr;
    decltype(&::EVP_DigestFinal_ex) final = nullptr;
};

// nullptr when the library cannot be loaded: Qt's hash gives the same digest, slower.
const LibCrypto *libCrypto()
{
    static QLibrary library;
    static const std::optional<LibCrypto> loaded = loadLibraryApi<LibCrypto>(
        library, u"libcrypto.so.3"_s, [](LibCrypto &api, const auto &resolve) {
            resolve(api.contextNew, "EVP_MD_CTX_new");
            resolve(api.contextFree, "EVP_MD_CTX_free");
            resolve(api.contextCopy, "EVP_MD_CTX_copy_ex");
            resolve(api.sha256, "EVP_sha256");
            resolve(api.init, "EVP_DigestInit_ex");
            resolve(api.update, "EVP_DigestUpdate");
            resolve(api.final, "EVP_DigestFinal_ex");
        });
    return loaded ? &*loaded : nullptr;
}

} // namespace

struct ContentHash::Context
{
    const LibCrypto *crypto = libCrypto();
    EVP_MD_CTX *context = crypto ? crypto->contextNew() : nullptr;
    QCryptographicHash fallback{QCryptographicHash::Sha256};
    ~Context()
    {
        if (context)
            crypto->contextFree(context);
    }
};

ContentHash::ContentHash() : m_context(std::make_unique<Context>())
{
    reset();
}

ContentHash::~ContentHash() = default;

void ContentHash::reset()
{
    if (m_context->context)
        m_context->crypto->init(m_context->context, m_context->crypto->sha256(), nullptr);
    else
        m_context->fallback.reset();
}

void ContentHash::addData(QByteArrayView data)
{
    if (m_context->context)
        m_context->crypto->update(m_context->context, data.data(), size_t(data.size()));
    else
        m_context->fallback.addData(data);
}

bool ContentHash::addData(QIODevice *device)
{
    QByteArray block(256 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device->read(block.data(), block.size());
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        addData(QByteArrayView(block.constData(), got));
    }
}

QByteArray ContentHash::result() const
{
    const LibCrypto *crypto = m_context->crypto;
    if (!m_context->context)
        return m_context->fallback.result();
    // Finishing a copy leaves this one open for more.
    EVP_MD_CTX *copy = crypto->contextNew();
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    const bool done = copy && crypto->contextCopy(copy, m_context->context)
                      && crypto->final(copy, reinterpret_cast<unsigned char *>(digest.data()), &length);
    crypto->contextFree(copy);
    digest.resize(done ? qsizetype(length) : 0);
    return digest;
}

QByteArray ContentHash::hash(QByteArrayView data)
{
    ContentHash content;
    content.addData(data);
    return content.result();
}
