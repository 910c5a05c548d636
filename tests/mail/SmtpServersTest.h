#pragma once

#include "mail/SmtpTestServers.h"

#include <gtest/gtest.h>

// A case that sends through the servers of script/with-smtp; skipped, saying
// so, where they do not run.
class SmtpServersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::optional<TSmtpTestServers> servers = TSmtpTestServers::fromEnvironment();
        if (!servers)
            GTEST_SKIP() << "no SMTP servers; script/test starts them (script/with-smtp)";
        servers_ = *servers;
    }

    TSmtpTestServers servers_;
};
