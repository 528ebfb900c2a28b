#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Tavrin %s\n", TAVRIN_VERSION);
    return 0;
}
