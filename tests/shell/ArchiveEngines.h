#pragma once

#include "archive/ArchiveTestSupport.h"

#include <QTest>

// The engines an archive test runs on, as rows of its data.
inline void AddArchiveEngineRows()
{
    QTest::addColumn<TArchiveLocation::Engine>("engine");
    QTest::newRow("SQLite") << TArchiveLocation::Engine::Sqlite;
    QTest::newRow("PostgreSQL") << TArchiveLocation::Engine::Postgresql;
}

Q_DECLARE_METATYPE(TArchiveLocation::Engine)

// A scratch archive of the row's engine; the row is skipped where the engine
// cannot be tested here.
#define KORVI_SCRATCH_ARCHIVE(name)                                      \
    QFETCH(TArchiveLocation::Engine, engine);                            \
    auto name = std::make_unique<ScratchArchive>(engine);                \
    if (!name->unavailable().isEmpty())                                  \
        QSKIP(qPrintable(name->unavailable()));
