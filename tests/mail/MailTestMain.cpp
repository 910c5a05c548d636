#include <QCoreApplication>

#include <gtest/gtest.h>

// The secret store and the mailer's reports come through the application's
// event loop: the application lives for the whole run.
int main(int argc, char** argv)
{
    const QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
