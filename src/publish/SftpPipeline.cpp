#include "publish/SftpPipeline.h"

#include "publish/ContentHash.h"
#include "publish/SftpConnection.h"

#include <QFile>
#include <QtEndian>

#include "publish/LibSsh.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The messages of SFTP version 3 that the pipeline sends and reads.
enum : quint8 {
    FxpInit = 1,
    FxpVersion = 2,
    FxpOpen = 3,
    FxpClose = 4,
    FxpWrite = 6,
    FxpRemove = 13,
    FxpStatus = 101,
    FxpHandle = 102,
    FxpExtended = 200,
};
constexpr quint32 OpenWrite = 0x02, OpenCreate = 0x08, OpenTruncate = 0x10;
constexpr quint32 AttrPermissions = 0x04;
constexpr quint32 StatusOk = 0;

// One write's size: OpenSSH's server takes messages of up to 256 KB.
constexpr qint64 PipelineBlock = 128 * 1024;
// Written bytes not yet confirmed, all files together: enough to keep the connection
// busy while the answers travel, and far below the window the server grants a channel,
// so a write never waits for the server while its answers wait for us.
constexpr qint64 PipelineBudget = 1024 * 1024;
// Files under way at once; each holds a handle on the server.
constexpr std::size_t PipelineFiles = 16;
constexpr quint32 LargestAnswer = 256 * 1024;

void putU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void putU64(QByteArray &out, quint64 value)
{
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes, 8);
}

void putBytes(QByteArray &out, QByteArrayView bytes)
{
    putU32(out, quint32(bytes.size()));
    out.append(bytes.data(), bytes.size());
}

// Reads the protocol's numbers and strings from an answer; a short answer reads as empty.
class AnswerReader
{
public:
    explicit AnswerReader(QByteArrayView bytes) : m_bytes(bytes) {}
    quint32 u32()
    {
        if (m_bytes.size() - m_at < 4) {
            m_at = m_bytes.size();
            return 0;
        }
        const quint32 value = qFromBigEndian<quint32>(m_bytes.data() + m_at);
        m_at += 4;
        return value;
    }
    QByteArrayView bytes()
    {
        const qsizetype length = qsizetype(u32());
        if (length > m_bytes.size() - m_at) {
            m_at = m_bytes.size();
            return {};
        }
        const QByteArrayView value = m_bytes.sliced(m_at, length);
        m_at += length;
        return value;
    }
    bool atEnd() const { return m_at >= m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

} // namespace

struct SftpPipeline::Transfer
{
    enum class Step { Opening, Writing, Closing, Renaming, Removing };
    File file;
    Result result;
    QFile source;
    ContentHash hash;
    Step step = Step::Opening;
    QByteArray handle;
    qint64 size = 0;       // the local file's, when it was opened
    qint64 offset = 0;     // the next byte to write
    bool allWritten = false;
    bool cut = false;      // stopped before its last byte was written
    QString failure;       // the first refusal
};

SftpPipeline::SftpPipeline() = default;

SftpPipeline::~SftpPipeline()
{
    close();
}

bool SftpPipeline::open(SftpConnection &connection, int timeoutSeconds)
{
    close();
    m_timeoutMs = std::max(1, timeoutSeconds) * 1000;
    ssh_session session = connection.m_ssh;
    if (!session || !connection.connected())
        return false;
    m_channel = libSsh().ssh_channel_new(session);
    if (!m_channel || libSsh().ssh_channel_open_session(m_channel) != SSH_OK
        || libSsh().ssh_channel_request_subsystem(m_channel, "sftp") != SSH_OK) {
        close();
        return false;
    }
    QByteArray init;
    putU32(init, 5);
    init.append(char(FxpInit));
    putU32(init, 3);
    m_out = init;
    // The answer names the server's extensions; without posix-rename a rename could not
    // replace the old file in one step.
    bool posixRename = false;
    if (flush()) {
        // A server that announces more than any real answer holds is not waited for.
        while ((m_in.size() < 4 || m_in.size() < 4 + qsizetype(qFromBigEndian<quint32>(m_in.constData())))
               && (m_in.size() < 4 || qFromBigEndian<quint32>(m_in.constData()) <= LargestAnswer)) {
            if (!receive(true))
                break;
        }
    }
    if (m_in.size() >= 4) {
        const quint32 length = qFromBigEndian<quint32>(m_in.constData());
        if (m_in.size() >= 4 + qsizetype(length) && length >= 5 && quint8(m_in.at(4)) == FxpVersion) {
            AnswerReader reader(QByteArrayView(m_in).sliced(5, length - 1));
            const quint32 version = reader.u32();
            while (version >= 3 && !reader.atEnd()) {
                const QByteArrayView name = reader.bytes(), data = reader.bytes();
                if (name == "posix-rename@openssh.com" && data == "1")
                    posixRename = true;
            }
            m_in.remove(0, 4 + length);
        }
    }
    if (!posixRename) {
        close();
        return false;
    }
    return true;
}

void SftpPipeline::close()
{
    if (m_channel) {
        if (libSsh().ssh_channel_is_open(m_channel)) {
            libSsh().ssh_channel_send_eof(m_channel);
            libSsh().ssh_channel_close(m_channel);
        }
        libSsh().ssh_channel_free(m_channel);
    }
    m_channel = nullptr;
    m_out.clear();
    m_in.clear();
    m_pending.clear();
    m_transfers.clear();
    m_over.clear();
}

bool SftpPipeline::flush()
{
    if (m_out.isEmpty())
        return true;
    // One channel write for everything that is ready: fewer packets, fewer wake-ups of
    // the server.
    const int written = libSsh().ssh_channel_write(m_channel, m_out.constData(), uint32_t(m_out.size()));
    const bool whole = written == m_out.size();
    m_out.truncate(0); // its room stays for the next requests
    return whole;
}

// Reads what the server has sent; with wait, at least something, or false when nothing
// came in time or the channel is gone.
bool SftpPipeline::receive(bool wait)
{
    char buffer[64 * 1024];
    int got = wait ? libSsh().ssh_channel_read_timeout(m_channel, buffer, sizeof buffer, 0, m_timeoutMs)
                   : libSsh().ssh_channel_read_nonblocking(m_channel, buffer, sizeof buffer, 0);
    if (got < 0 || (wait && got == 0))
        return false;
    while (got > 0) {
        m_in.append(buffer, got);
        got = libSsh().ssh_channel_read_nonblocking(m_channel, buffer, sizeof buffer, 0);
    }
    // Nothing more for now is not an error.
    return got == 0 || got == SSH_AGAIN;
}

void SftpPipeline::request(Transfer &transfer, quint8 type, const QByteArray &body, qint64 bytes)
{
    const quint32 id = m_nextId++;
    putU32(m_out, quint32(body.size() + 5));
    m_out.append(char(type));
    putU32(m_out, id);
    m_out.append(body);
    m_pending[id] = {&transfer, type, bytes};
}

qint64 SftpPipeline::unsentBytes() const
{
    qint64 unsent = 0;
    for (const auto &transfer : m_transfers) {
        if (transfer->step == Transfer::Step::Opening || (transfer->step == Transfer::Step::Writing && !transfer->allWritten))
            unsent += std::max<qint64>(0, transfer->size - transfer->offset);
    }
    return unsent;
}

void SftpPipeline::start(File file)
{
    auto transfer = std::make_unique<Transfer>();
    Transfer &t = *transfer;
    t.file = std::move(file);
    t.source.setFileName(t.file.local);
    m_transfers.push_back(std::move(transfer));
    if (!t.source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        t.result.error = u"Soubor nelze přečíst: "_s + t.file.local;
        over(t);
        return;
    }
    t.size = t.source.size();
    QByteArray body;
    putBytes(body, t.file.sentTo.toUtf8());
    putU32(body, OpenWrite | OpenCreate | OpenTruncate);
    putU32(body, AttrPermissions);
    putU32(body, 0644);
    request(t, FxpOpen, body);
}

// Writes what the budget allows of an open file, and closes it after its last byte or
// when the user stopped.
void SftpPipeline::feed(Transfer &t, const std::atomic<bool> &stop, std::atomic<qint64> &inFlight)
{
    if (t.step != Transfer::Step::Writing || t.allWritten)
        return;
    while (true) {
        if (stop.load()) {
            t.cut = true;
            break;
        }
        if (!t.failure.isEmpty())
            break; // the rest would go after a refused write for nothing
        if (m_unanswered >= PipelineBudget)
            return;
        // The message goes together in the outgoing buffer and the block is read into
        // its place there: a large file is not copied once more on its way.
        const qsizetype start = m_out.size();
        const quint32 id = m_nextId;
        putU32(m_out, 0); // the length, once the block's is known
        m_out.append(char(FxpWrite));
        putU32(m_out, id);
        putBytes(m_out, t.handle);
        putU64(m_out, quint64(t.offset));
        putU32(m_out, 0);
        const qsizetype data = m_out.size();
        m_out.resize(data + PipelineBlock);
        const qint64 read = t.source.read(m_out.data() + data, PipelineBlock);
        if (read <= 0) {
            m_out.truncate(start);
            // A file that lost its end while it was being sent is not sent whole: the
            // server's copy must not take the page's name.
            if (read < 0 || t.offset < t.size)
                t.failure = u"Soubor nelze přečíst: "_s + t.file.local;
            break;
        }
        m_out.truncate(data + read);
        qToBigEndian(quint32(read), m_out.data() + data - 4);
        qToBigEndian(quint32(m_out.size() - start - 4), m_out.data() + start);
        t.hash.addData(QByteArrayView(m_out.constData() + data, read));
        ++m_nextId;
        m_pending[id] = {&t, FxpWrite, read};
        t.offset += read;
        t.result.bytes += read;
        m_unanswered += read;
        inFlight += read;
    }
    t.allWritten = true;
    t.step = Transfer::Step::Closing;
    QByteArray body;
    putBytes(body, t.handle);
    request(t, FxpClose, body);
}

void SftpPipeline::answer(quint8 type, quint32 id, QByteArrayView body)
{
    const auto found = m_pending.find(id);
    if (found == m_pending.end())
        return;
    const Pending pending = found->second;
    m_pending.erase(found);
    Transfer &t = *pending.transfer;
    AnswerReader reader(body);
    quint32 status = StatusOk;
    if (type == FxpStatus)
        status = reader.u32();
    else if (type != FxpHandle)
        status = ~0u; // no answer this request can have
    auto refusal = [status](const QString &what, const QString &path) {
        return what + u": "_s + path + sftpStatusNote(int(status), true);
    };
    switch (pending.type) {
    case FxpOpen:
        if (type == FxpHandle) {
            t.handle = reader.bytes().toByteArray();
            t.step = Transfer::Step::Writing;
        } else {
            t.result.error = refusal(u"Soubor nelze vytvořit"_s, t.file.sentTo);
            over(t);
        }
        break;
    case FxpWrite:
        m_unanswered -= pending.bytes;
        if (status != StatusOk && t.failure.isEmpty())
            t.failure = refusal(u"Zápis na server selhal"_s, t.file.sentTo);
        break;
    case FxpClose:
        // The server reports a failed write at the latest when the file is closed.
        if (status != StatusOk && t.failure.isEmpty())
            t.failure = refusal(u"Zápis na server selhal"_s, t.file.sentTo);
        afterClose(t);
        break;
    case FxpExtended:
        if (status == StatusOk) {
            t.result.renamed = true;
            t.result.sha256 = t.hash.result();
            over(t);
        } else {
            t.result.error = refusal(u"Soubor nelze přejmenovat"_s, t.file.sentTo);
            cleanUp(t);
        }
        break;
    case FxpRemove:
        t.result.removed = status == StatusOk;
        over(t);
        break;
    default:
        break;
    }
}

void SftpPipeline::afterClose(Transfer &t)
{
    if (!t.failure.isEmpty()) {
        t.result.sent = Sent::Failed;
        t.result.error = t.failure;
        cleanUp(t);
        return;
    }
    if (t.cut) {
        t.result.sent = Sent::Stopped;
        cleanUp(t);
        return;
    }
    t.result.sent = Sent::Done;
    if (t.file.target.isEmpty()) {
        t.result.renamed = true;
        t.result.sha256 = t.hash.result();
        over(t);
        return;
    }
    t.step = Transfer::Step::Renaming;
    QByteArray body;
    putBytes(body, "posix-rename@openssh.com");
    putBytes(body, t.file.sentTo.toUtf8());
    putBytes(body, t.file.target.toUtf8());
    request(t, FxpExtended, body);
}

// A file under a temporary name that will not take its own goes, unless it is kept for
// the next upload to go on with.
void SftpPipeline::cleanUp(Transfer &t)
{
    if (t.file.target.isEmpty() || (t.result.sent == Sent::Stopped && t.file.keepIfStopped)) {
        over(t);
        return;
    }
    t.step = Transfer::Step::Removing;
    QByteArray body;
    putBytes(body, t.file.sentTo.toUtf8());
    request(t, FxpRemove, body);
}

void SftpPipeline::over(Transfer &t)
{
    const auto it = std::find_if(m_transfers.begin(), m_transfers.end(),
                                 [&t](const std::unique_ptr<Transfer> &each) { return each.get() == &t; });
    if (it == m_transfers.end())
        return;
    m_over.emplace_back(t.file, t.result);
    m_transfers.erase(it);
}

void SftpPipeline::failAll(const QString &why)
{
    for (const auto &transfer : m_transfers) {
        Transfer &t = *transfer;
        t.result.sent = t.step == Transfer::Step::Renaming || t.step == Transfer::Step::Removing ? t.result.sent
                                                                                               : Sent::Failed;
        if (t.result.error.isEmpty())
            t.result.error = why + u": "_s + t.file.sentTo + sftpStatusNote(-1, false);
        t.result.renamed = false;
        t.result.lost = true;
        m_over.emplace_back(t.file, t.result);
    }
    m_transfers.clear();
    m_pending.clear();
    m_unanswered = 0;
}

bool SftpPipeline::run(const Next &next, const Finished &finished, std::atomic<qint64> &inFlight,
                       const std::atomic<bool> &stop)
{
    bool alive = m_channel != nullptr;
    auto report = [&] {
        std::vector<std::pair<File, Result>> over;
        over.swap(m_over);
        for (const auto &[file, result] : over) {
            inFlight -= result.bytes;
            finished(file, result);
        }
    };
    while (alive) {
        while (!stop.load() && m_transfers.size() < PipelineFiles && unsentBytes() < PipelineBudget) {
            std::optional<File> file = next();
            if (!file)
                break;
            start(std::move(*file));
        }
        for (const auto &transfer : m_transfers)
            feed(*transfer, stop, inFlight);
        report();
        if (m_transfers.empty())
            break;
        alive = flush() && receive(true);
        // Every complete answer that came.
        qsizetype at = 0;
        while (alive && m_in.size() - at >= 4) {
            const quint32 length = qFromBigEndian<quint32>(m_in.constData() + at);
            if (length < 5 || length > LargestAnswer) {
                alive = false;
                break;
            }
            if (m_in.size() - at < 4 + qsizetype(length))
                break;
            const QByteArrayView message = QByteArrayView(m_in).sliced(at + 4, length);
            answer(quint8(message[0]), qFromBigEndian<quint32>(message.data() + 1), message.sliced(5));
            at += 4 + qsizetype(length);
        }
        m_in.remove(0, at);
    }
    if (!alive)
        failAll(u"Zápis na server selhal"_s);
    report();
    return alive;
}
