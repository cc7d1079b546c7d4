#include "app/RecoveryBinding.h"

#include "app/DocumentManager.h"

RecoveryBinding::RecoveryBinding(DocumentManager &documents, const QString &folder)
    : m_documents(documents)
    , m_store(folder)
    , m_recovery(m_store)
{
    m_store.start();
    QObject::connect(&documents, &DocumentManager::documentCreated, &m_recovery,
                     [this](HtmlDocument *document) { m_recovery.watch(*document); });
    for (HtmlDocument *document : documents.documents())
        m_recovery.watch(*document);
}

RecoveryBinding::~RecoveryBinding()
{
    m_recovery.waitForWrites();
    m_store.finish();
}

int RecoveryBinding::offer(bool *offered)
{
    return offerRecovery(m_documents, m_store, m_recovery, offered);
}
