#include "publish/ContentHash.h"

#include <QIODevice>

#include <openssl/evp.h>

struct ContentHash::Context
{
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(context); }
};

ContentHash::ContentHash() : m_context(std::make_unique<Context>())
{
    reset();
}

ContentHash::~ContentHash() = default;

void ContentHash::reset()
{
    EVP_DigestInit_ex(m_context->context, EVP_sha256(), nullptr);
}

void ContentHash::addData(QByteArrayView data)
{
    EVP_DigestUpdate(m_context->context, data.data(), size_t(data.size()));
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
    // Finishing a copy leaves this one open for more.
    EVP_MD_CTX *copy = EVP_MD_CTX_new();
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    const bool done = copy && EVP_MD_CTX_copy_ex(copy, m_context->context)
                      && EVP_DigestFinal_ex(copy, reinterpret_cast<unsigned char *>(digest.data()), &length);
    EVP_MD_CTX_free(copy);
    digest.resize(done ? qsizetype(length) : 0);
    return digest;
}

QByteArray ContentHash::hash(QByteArrayView data)
{
    ContentHash content;
    content.addData(data);
    return content.result();
}
