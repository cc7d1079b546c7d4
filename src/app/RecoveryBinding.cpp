#include "app/RecoveryBinding.h"

#include "app/TForm1.h"

RecoveryBinding::RecoveryBinding(TForm1 &window, const QString &folder)
    : m_window(window)
    , m_store(folder)
    , m_recovery(m_store)
{
    m_store.start();
    QObject::connect(&window, &TForm1::documentCreated, &m_recovery,
                     [this](TForm2 *document) { m_recovery.watch(*document); });
    for (TForm2 *document : window.documents())
        m_recovery.watch(*document);
}

RecoveryBinding::~RecoveryBinding()
{
    m_recovery.waitForWrites();
    m_store.finish();
}

int RecoveryBinding::offer()
{
    return offerRecovery(m_window, m_store, m_recovery);
}
