#include "data/JobProgress.h"

void TJobProgress::start(qint64 total)
{
    total_.store(total, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
}

bool TJobProgress::reach(qint64 done)
{
    done_.store(done, std::memory_order_relaxed);
    return !cancelled();
}

QString TJobProgress::cancelledReason()
{
    return QStringLiteral("отменено");
}
