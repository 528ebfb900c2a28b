#include "app/AppOptions.h"
#include "cli/AddCommand.h"
#include "cli/ConsoleView.h"
#include "cli/ExitStatus.h"
#include "cli/GuardedApplication.h"
#include "cli/ListCommand.h"
#include "cli/RunCommand.h"
#include "platform/ProcessEnd.h"
#include "startup/AppCore.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

const char *const Usage = "Usage: tavrin [LISTFILE]\n"
                          "       tavrin --run [--max-time SECONDS] [--until-missing N] [--progress lines]\n"
                          "                    [--skip-existing] [--retry N] [--wait MS] [LISTFILE]\n"
                          "       tavrin --list [LISTFILE]\n"
                          "       tavrin --add URL [LISTFILE]\n"
                          "       tavrin --help | --version\n"
                          "\n"
                          "Tavrin downloads numbered file sequences. LISTFILE is a job list file\n"
                          "(default: TvData.txt beside the program; an installed program without one\n"
                          "uses TvData.txt in its data folder).\n"
                          "\n"
                          "  (no option)  open the window with the job list; Qt's own options, with\n"
                          "               one dash (-style, -platform, -reverse, ...), apply to it\n"
                          "  --run        download every checked job without a window, then print the\n"
                          "               summary; exit status 0 when every file was saved, 1 when\n"
                          "               any was not, 2 when the list cannot be loaded or the\n"
                          "               arguments are wrong, 3 on an unexpected failure. A job\n"
                          "               skipped because its output folder is unusable counts as\n"
                          "               not saved. Ctrl+C, SIGTERM and SIGHUP stop the run as the\n"
                          "               Stop button does; a second one ends the program at once\n"
                          "  --max-time SECONDS\n"
                          "               with --run: when the whole run has taken this long, it\n"
                          "               stops as by Ctrl+C (exit status 1)\n"
                          "  --until-missing N\n"
                          "               with --run: stop a sequence after N missing files in a row\n"
                          "               (404, 410, or an HTML page for a file that is not one);\n"
                          "               the files after them are not requested, and missing files\n"
                          "               do not make the exit status 1. 0 turns it off. Without\n"
                          "               it, the option saved by the window applies\n"
                          "  --progress lines\n"
                          "               with --run: instead of the live progress on a terminal,\n"
                          "               write once a second one plain line on standard error with\n"
                          "               the files done of the total, the bytes, the speed and the\n"
                          "               time left (for logs, pipes and screen readers)\n"
                          "  --skip-existing\n"
                          "               with --run: do not request a file whose target is already\n"
                          "               there and not empty; it counts as saved\n"
                          "  --retry N    with --run: try a download that failed for a passing\n"
                          "               reason (refused, reset or timed out, cut short, HTTP 408,\n"
                          "               429, 500, 502, 503, 504) again up to N times, after 1 s,\n"
                          "               2 s, 4 s ... (at most 60 s) or the server's Retry-After,\n"
                          "               going on from the bytes received when the server allows\n"
                          "  --wait MS    with --run: at least MS milliseconds (and up to half as\n"
                          "               much again) between two requests to one server\n"
                          "               Without --skip-existing, --retry or --wait, the options\n"
                          "               saved by the window apply\n"
                          "  --list       print the settings and the jobs as start-up loads them,\n"
                          "               one job a line, fields separated by TAB; a CR or LF inside\n"
                          "               a field is shown as the symbol U+240D or U+240A (exit\n"
                          "               status 2 when loading showed a message)\n"
                          "  --add URL    append a job guessed from URL (its last number becomes\n"
                          "               the sequence #1#, counted from 1 to that number) to the\n"
                          "               list, save the list and print the new job as --list does\n"
                          "               (exit status 2, nothing written, when URL is not an http,\n"
                          "               https or ftp URL or the list cannot be loaded or saved)\n"
                          "  --help       show this text\n"
                          "  --version    show the program's version\n";

int ListJobs(const QString &listFile)
{
    ConsoleView view;
    AppCore app;
    app.SetView(&view);
    app.StartUp(listFile);
    QFile out;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    PrintJobList(app, out);
    out.flush();
    std::fflush(stdout);
    // A list of a million jobs is not taken apart piece by piece on the way out.
    EndProcessAtOnce(view.MessageShown() ? ExitBadListOrArguments : ExitOk);
}

// A positive number of seconds, fractions allowed (as curl takes them).
bool ReadSeconds(const QString &text, double &seconds)
{
    bool ok = false;
    seconds = text.toDouble(&ok);
    return ok && seconds > 0 && seconds < 1e9;
}

// A whole number from 0 up to largest.
bool ReadCount(
    const QString &text, std::optional<int32_t> &count, int32_t largest = std::numeric_limits<int32_t>::max())
{
    bool ok = false;
    const int value = text.toInt(&ok);
    ok = ok && value >= 0 && value <= largest;
    if (ok)
        count = value;
    return ok;
}

int WrongArguments(const QString &message)
{
    std::fprintf(stderr, "tavrin: %s\n%s", message.toLocal8Bit().constData(), Usage);
    return ExitBadListOrArguments;
}

QStringList Arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void NameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("tavrin"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
}

// The headless fronts and the information options run on the core event
// loop alone and need no display; the window is everything else. Decided
// before Qt reads the arguments, by Tavrin's own option names (with one dash
// or two). Qt's options are words with one dash, so any other option with
// two is Tavrin's mistake to report, without a display.
bool WithoutWindow(int argc, char **argv)
{
    static const QStringList tavrinOptions = {QStringLiteral("run"), QStringLiteral("list"), QStringLiteral("max-time"),
        QStringLiteral("help"), QStringLiteral("version"), QStringLiteral("add"), QStringLiteral("until-missing"),
        QStringLiteral("progress"), QStringLiteral("skip-existing"), QStringLiteral("retry"), QStringLiteral("wait")};
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--"))
            break;
        if (argument.startsWith(QLatin1String("--")))
            return true;
        if (argument.startsWith(u'-') && tavrinOptions.contains(argument.mid(1).section(u'=', 0, 0)))
            return true;
    }
    return false;
}

// The window, its dialogs and its entry in the desktop's task list show the
// program's icon (drawn in dist/tavrin.svg, compiled in at every size that
// the build renders).
void SetProgramIcon()
{
    QIcon icon;
    QDirIterator sizes(
        QStringLiteral(":/icons"), {QStringLiteral("tavrin.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrin"));
}

// The window ends the process itself when it is closed.
int OpenWindow(const QString &listFile)
{
    SetProgramIcon();
    frmMain window;
    window.StartUp(listFile);
    window.show();
    return QCoreApplication::exec();
}

// Tavrin's own options, from the arguments that Qt left.
int RunFront(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Like Qt's own options: -list is --list, and -style is one unknown
    // option rather than five.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption run(QStringLiteral("run"));
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption maxTime(QStringLiteral("max-time"), QString(), QStringLiteral("SECONDS"));
    const QCommandLineOption add(QStringLiteral("add"), QString(), QStringLiteral("URL"));
    const QCommandLineOption untilMissing(QStringLiteral("until-missing"), QString(), QStringLiteral("N"));
    const QCommandLineOption progress(QStringLiteral("progress"), QString(), QStringLiteral("lines"));
    const QCommandLineOption skipExisting(QStringLiteral("skip-existing"));
    const QCommandLineOption retry(QStringLiteral("retry"), QString(), QStringLiteral("N"));
    const QCommandLineOption wait(QStringLiteral("wait"), QString(), QStringLiteral("MS"));
    parser.addOptions({run, list, help, version, maxTime, add, untilMissing, progress, skipExisting, retry, wait});
    if (!parser.parse(arguments))
        return WrongArguments(parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return WrongArguments(QStringLiteral("at most one job list file"));
    const QString listFile = files.value(0);

    if (parser.isSet(help)) {
        std::fputs(Usage, stdout);
        return ExitOk;
    }
    if (parser.isSet(version)) {
        std::printf("Tavrin %s\n", TAVRIN_VERSION);
        return ExitOk;
    }
    if (int(parser.isSet(run)) + int(parser.isSet(list)) + int(parser.isSet(add)) > 1)
        return WrongArguments(QStringLiteral("--run, --list and --add exclude each other"));
    if (parser.isSet(maxTime) && !parser.isSet(run))
        return WrongArguments(QStringLiteral("--max-time goes with --run"));
    double seconds = 0;
    if (parser.isSet(maxTime) && !ReadSeconds(parser.value(maxTime), seconds))
        return WrongArguments(QStringLiteral("--max-time needs a number of seconds above 0"));
    for (const QCommandLineOption *option : {&untilMissing, &skipExisting, &retry, &wait}) {
        if (parser.isSet(*option) && !parser.isSet(run))
            return WrongArguments("--" + option->names().constFirst() + " goes with --run");
    }
    RunOverrides overrides;
    if (parser.isSet(untilMissing) && !ReadCount(parser.value(untilMissing), overrides.UntilMissing))
        return WrongArguments(QStringLiteral("--until-missing needs a whole number of files, 0 or more"));
    if (parser.isSet(progress) && !parser.isSet(run))
        return WrongArguments(QStringLiteral("--progress goes with --run"));
    if (parser.isSet(progress) && parser.value(progress) != QLatin1String("lines"))
        return WrongArguments(QStringLiteral("--progress takes only: lines"));
    overrides.ProgressLines = parser.isSet(progress);
    if (parser.isSet(skipExisting))
        overrides.SkipExisting = 1;
    if (parser.isSet(retry) && !ReadCount(parser.value(retry), overrides.Retries, AppOptions::MostRetries))
        return WrongArguments(
            QStringLiteral("--retry needs a whole number of retries from 0 to %1").arg(AppOptions::MostRetries));
    if (parser.isSet(wait) && !ReadCount(parser.value(wait), overrides.WaitMs, AppOptions::LongestWaitMs))
        return WrongArguments(
            QStringLiteral("--wait needs a whole number of milliseconds from 0 to %1").arg(AppOptions::LongestWaitMs));
    if (parser.isSet(add))
        return AddJobFromUrl(parser.value(add), listFile);
    if (parser.isSet(list))
        return ListJobs(listFile);
    if (parser.isSet(run))
        return RunJobsWithoutWindow(listFile, seconds, overrides);
    return OpenWindow(listFile);
}

} // namespace

int main(int argc, char **argv)
{
    if (WithoutWindow(argc, argv)) {
        // Qt's window options (-style, -platform, ...) mean nothing here and
        // are refused with the other unknown options.
        GuardedApplication<QCoreApplication> app(argc, argv);
        NameApplication();
        return RunFront(Arguments(argc, argv));
    }
    // Qt takes its own options out of argv first; Tavrin reads what is left.
    GuardedApplication<QApplication> app(argc, argv);
    NameApplication();
    return RunFront(Arguments(argc, argv));
}
