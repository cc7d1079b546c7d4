#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

class QIODevice;

// The SHA-256 of content on its way up, through the system's OpenSSL: it uses the
// processor's SHA instructions, where Qt's own hash takes several times as long, and the
// hash runs over every block a transfer sends, on the same thread.
class ContentHash
{
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash &) = delete;
    ContentHash &operator=(const ContentHash &) = delete;

    void reset();
    void addData(QByteArrayView data);
    // Reads the device to its end; false when reading failed.
    bool addData(QIODevice *device);
    // The 32 raw bytes of what was added so far; more may be added after.
    QByteArray result() const;

    static QByteArray hash(QByteArrayView data);

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};
