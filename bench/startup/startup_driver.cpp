// Runs the start-up program and the floor program alternately, N times each,
// and prints the median and minimum wall time and the peak memory of both.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

struct Sample
{
    double ms;
    long rssKb;
};

static Sample runOnce(const QString& program, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(60000);
    const double ms = t.nsecsElapsed() / 1e6;
    long rss = 0;
    const QByteArray out = p.readAllStandardOutput();
    const qsizetype at = out.indexOf("maxrss_kb=");
    if (at >= 0)
        rss = out.mid(at + 10).trimmed().toLong();
    return {ms, rss};
}

static void summary(const char* name, std::vector<Sample> s)
{
    std::sort(s.begin(), s.end(), [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
    long rss = 0;
    for (const Sample& x : s)
        rss = std::max(rss, x.rssKb);
    std::printf("%-12s median %7.1f ms   min %7.1f ms   peak rss %6.1f MiB\n", name, s[s.size() / 2].ms,
                s[0].ms, rss / 1024.0);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 21;
    const QString binDir = QCoreApplication::applicationDirPath();
    const QString startup = binDir + QStringLiteral("/bench_startup_app");

    // A program folder like a user's: the language files beside the program.
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath(QStringLiteral("LANGUAGE")));
    const QDir lang(binDir + QStringLiteral("/LANGUAGE"));
    for (const QString& f : lang.entryList(QDir::Files))
        QFile::copy(lang.filePath(f), folder.filePath(QStringLiteral("LANGUAGE/") + f));

    std::vector<Sample> ours, floor;
    runOnce(startup, {folder.path()}); // warm the file cache
    runOnce(startup, {QStringLiteral("--floor")});
    for (int i = 0; i < runs; ++i) {
        ours.push_back(runOnce(startup, {folder.path()}));
        floor.push_back(runOnce(startup, {QStringLiteral("--floor")}));
    }
    summary("configurator", ours);
    summary("floor", floor);
    std::sort(ours.begin(), ours.end(), [](auto& a, auto& b) { return a.ms < b.ms; });
    std::sort(floor.begin(), floor.end(), [](auto& a, auto& b) { return a.ms < b.ms; });
    std::printf("ratio (median) %.2f\n", ours[ours.size() / 2].ms / floor[floor.size() / 2].ms);
    return 0;
}
