// The main of the benchmarks that draw or hold widgets: they need a
// QApplication, which google-benchmark's own main does not make. They run
// off screen, with the Russian format locale the screens are written for.
#include <QApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
