#include "log/MELogFile.h"

#include "log/PrivateProfile.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>
#include <set>

namespace {

// A held block is written once it reaches this size.
constexpr qsizetype HeldBlockBytes = 1 << 20;

// Log file numbers in use; a new log takes the lowest free one.
std::set<int16_t> &FileNumbersInUse()
{
    static std::set<int16_t> numbers;
    return numbers;
}

int16_t TakeFreeFileNumber()
{
    int16_t number = 1;
    while (FileNumbersInUse().count(number))
        ++number;
    FileNumbersInUse().insert(number);
    return number;
}

} // namespace

MELogFile::MELogFile(QObject *parent) : QObject(parent)
{
}

MELogFile::~MELogFile()
{
    if (file.isOpen()) {
        holds = 0;
        WriteHeldLines();
        WriteLine(QStringLiteral("Log file closed at ") + Now(QStringLiteral(" on ")));
        file.close();
    }
    ReleaseFileNumber();
}

QString MELogFile::FileName() const
{
    return fileName;
}

void MELogFile::SetFileName(const QString &value)
{
    fileName = value;
}

bool MELogFile::AutoLog() const
{
    return false;
}

void MELogFile::SetAutoLog(bool)
{
}

QString MELogFile::Now(const QString &separator)
{
    const QLocale locale = QLocale::system();
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + separator +
        locale.toString(QDate::currentDate(), QLocale::ShortFormat);
}

// Unless held, every line goes to disk at once, so the log can be read while
// a run goes on and nothing is lost if the process ends abruptly.
void MELogFile::WriteLine(const QString &line)
{
    if (!file.isOpen())
        return;
    held += line.toLocal8Bit();
    held += "\r\n";
    if (holds == 0 || held.size() >= HeldBlockBytes)
        WriteHeldLines();
}

void MELogFile::HoldLines(bool hold)
{
    if (hold)
        ++holds;
    else if (holds > 0)
        --holds;
    if (holds == 0)
        WriteHeldLines();
}

void MELogFile::WriteHeldLines()
{
    if (held.isEmpty() || !file.isOpen())
        return;
    file.write(held);
    file.flush();
    held.resize(0);
}

void MELogFile::AddLogLine(const QString &LogLine)
{
    WriteLine(LogLine);
}

void MELogFile::FlushLog()
{
    if (!file.isOpen())
        return;
    WriteHeldLines();
    file.close();
    file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void MELogFile::ReleaseFileNumber()
{
    if (fileNumber > 0)
        FileNumbersInUse().erase(fileNumber);
    fileNumber = 0;
}

void MELogFile::StartLog()
{
    SetAutoLog(true);
    ReleaseFileNumber();
    fileNumber = TakeFreeFileNumber();
    if (fileName.isEmpty()) {
        Q_EMIT LogError(52, QStringLiteral("MELogFile: StartLogging"));
        return;
    }
    if (file.isOpen()) {
        WriteHeldLines();
        file.close();
    }
    if (IsDrivePath(fileName))
        throw LogOpenError(
            QStringLiteral("A drive path cannot be used on this system: %1").arg(fileName).toStdString());
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadWrite))
        throw LogOpenError(file.errorString().toStdString());
    file.close();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw LogOpenError(file.errorString().toStdString());
    WriteLine(QStringLiteral("Log file opened at ") + Now(QStringLiteral(" on ")) + QStringLiteral(" as #") +
        QString::number(fileNumber));
}

void MELogFile::WriteINI(
    const QString &FileName, const QString &SectionName, const QString &DataName, const QString &Value)
{
    PrivateProfile::Write(FileName, SectionName, DataName, Value);
    QCoreApplication::processEvents();
}

QString MELogFile::ReadINI(const QString &FileName, const QString &SectionName, const QString &DataName)
{
    // The value arrives through a buffer of 256 characters, of which the last
    // holds the terminator.
    const QString value =
        PrivateProfile::Read(FileName, SectionName, DataName, QStringLiteral("Error reading: ") + FileName);
    return value.left(255);
}

int16_t MELogFile::LogFileNumber() const
{
    return fileNumber;
}

void MELogFile::SetLogFileNumber(int16_t value)
{
    fileNumber = value;
}
