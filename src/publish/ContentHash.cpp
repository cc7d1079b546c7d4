#include "publish/ContentHash.h"

#include "markup/LazyLibrary.h"

#include <QCryptographicHash>
#include <QIODevice>

#include <openssl/evp.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// OpenSSL's libcrypto, loaded with the first hash: linked, it was mapped and set up at every
// start of the editor, which most starts never publish.
#define BRISKO_LIBCRYPTO_FUNCTIONS(X) \
    X(EVP_MD_CTX_new) \
    X(EVP_MD_CTX_free) \
    X(EVP_MD_CTX_copy_ex) \
    X(EVP_sha256) \
    X(EVP_DigestInit_ex) \
    X(EVP_DigestUpdate) \
    X(EVP_DigestFinal_ex)

struct LibCrypto
{
    BRISKO_LIBRARY_FUNCTIONS(BRISKO_LIBCRYPTO_FUNCTIONS)
};

// nullptr when the library cannot be loaded: Qt's hash gives the same digest, slower.
const LibCrypto *libCrypto()
{
    return loadLibraryApi<LibCrypto>(u"libcrypto.so.3"_s);
}

} // namespace

struct ContentHash::Context
{
    const LibCrypto *crypto = libCrypto();
    EVP_MD_CTX *context = crypto ? crypto->EVP_MD_CTX_new() : nullptr;
    // Only without OpenSSL: a hash is made for every file sent.
    std::optional<QCryptographicHash> fallback =
        context ? std::nullopt : std::make_optional<QCryptographicHash>(QCryptographicHash::Sha256);
    ~Context()
    {
        if (context)
            crypto->EVP_MD_CTX_free(context);
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
        m_context->crypto->EVP_DigestInit_ex(m_context->context, m_context->crypto->EVP_sha256(), nullptr);
    else
        m_context->fallback->reset();
}

void ContentHash::addData(QByteArrayView data)
{
    if (m_context->context)
        m_context->crypto->EVP_DigestUpdate(m_context->context, data.data(), size_t(data.size()));
    else
        m_context->fallback->addData(data);
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
        return m_context->fallback->result();
    // Finishing a copy leaves this one open for more.
    EVP_MD_CTX *copy = crypto->EVP_MD_CTX_new();
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    const bool done = copy && crypto->EVP_MD_CTX_copy_ex(copy, m_context->context)
                      && crypto->EVP_DigestFinal_ex(copy, reinterpret_cast<unsigned char *>(digest.data()), &length);
    crypto->EVP_MD_CTX_free(copy);
    digest.resize(done ? qsizetype(length) : 0);
    return digest;
}

QByteArray ContentHash::hash(QByteArrayView data)
{
    ContentHash content;
    content.addData(data);
    return content.result();
}
