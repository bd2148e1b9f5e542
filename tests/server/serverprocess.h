#pragma once
// The built ballwick-server, started by a test on a free port of 127.0.0.1.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

class ServerProcess
{
public:
    ~ServerProcess() { stop(); }

    // Starts the server on any free port; false when it did not come up.
    bool start(const QString &db, const QStringList &extra = {})
    {
        m_out.clear();
        m_proc.setProcessChannelMode(QProcess::SeparateChannels);
        m_proc.start(QStringLiteral(BALLWICK_SERVER_EXE),
                     QStringList{"--port", "0", "--db", db} + extra);
        if (!m_proc.waitForStarted(5000))
            return false;
        static const QRegularExpression listening(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
        for (int i = 0; i < 100; ++i) {
            if (!m_proc.waitForReadyRead(100) && m_proc.state() != QProcess::Running)
                return false;
            m_out += QString::fromUtf8(m_proc.readAllStandardOutput());
            const auto match = listening.match(m_out);
            if (match.hasMatch()) {
                m_port = match.captured(1).toInt();
                return true;
            }
        }
        return false;
    }

    // Ends it as a service manager would (SIGTERM) and waits for it.
    int stop()
    {
        if (m_proc.state() == QProcess::NotRunning)
            return m_proc.exitCode();
        m_proc.terminate();
        if (!m_proc.waitForFinished(5000)) {
            m_proc.kill();
            m_proc.waitForFinished(2000);
        }
        m_out += QString::fromUtf8(m_proc.readAllStandardOutput());
        return m_proc.exitCode();
    }

    int port() const { return m_port; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    // Everything the server has written to its standard output so far.
    QString output()
    {
        m_proc.waitForReadyRead(50);
        m_out += QString::fromUtf8(m_proc.readAllStandardOutput());
        return m_out;
    }

private:
    QProcess m_proc;
    QString m_out;
    int m_port = 0;
};
