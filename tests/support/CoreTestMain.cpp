#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests run inside a QCoreApplication so that event-loop waits work.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
