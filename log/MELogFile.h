#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <cstdint>
#include <stdexcept>

// A log file could not be created or opened.
class LogOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The run log: one open text file (8-bit, CRLF line ends) with an opening
// line when started and a closing line when the object goes away.
class MELogFile : public QObject {
    Q_OBJECT

public:
    explicit MELogFile(QObject *parent = nullptr);
    ~MELogFile() override;

    QString FileName() const;
    void SetFileName(const QString &value);
    // Kept for the interface only: always false, setting it does nothing.
    bool AutoLog() const;
    void SetAutoLog(bool value);

    void AddLogLine(const QString &LogLine);
    // While lines are held they collect in memory and reach the file in
    // blocks: when WriteHeldLines is called (a run does it at its waiting
    // points), when a block is full, and when holding ends. Otherwise every
    // line goes to disk at once. Holds nest: the lines are held until every
    // HoldLines(true) has had its HoldLines(false).
    void HoldLines(bool hold);
    void WriteHeldLines();
    // Closes and reopens the file for appending, so that everything written
    // so far is on disk and other programs can read it.
    void FlushLog();
    // Empties the file and writes the opening line. Throws LogOpenError when
    // the file cannot be created or opened; raises LogError (52) and stays
    // closed when no file name is set.
    void StartLog();

    void WriteINI(const QString &FileName, const QString &SectionName, const QString &DataName, const QString &Value);
    QString ReadINI(const QString &FileName, const QString &SectionName, const QString &DataName);

    int16_t LogFileNumber() const;
    void SetLogFileNumber(int16_t value);

Q_SIGNALS:
    void LogError(int32_t Number, const QString &Source);

private:
    void WriteLine(const QString &line);
    void ReleaseFileNumber();
    static QString Now(const QString &separator);

    QString fileName;
    QFile file;
    int holds = 0;
    QByteArray held; // whole lines only
    int16_t fileNumber = 0;
};
