#include "support/XvfbDisplay.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

namespace {
void stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}
}

XvfbDisplay::~XvfbDisplay()
{
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it)
        stop(**it);
    stop(m_server);
}

bool XvfbDisplay::start(const QString& geometry)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        m_why = "Xvfb is not installed (scripts/install-deps.sh installs it)";
        return false;
    }
    // -displayfd 1: the server picks a free number and writes it to stdout.
    m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", geometry, "-nolisten", "tcp"});
    QByteArray out;
    QDeadlineTimer deadline(15000);
    while (!out.contains('\n') && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning) {
        m_server.waitForReadyRead(200);
        out += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int number = out.trimmed().toInt(&ok);
    if (!ok) {
        m_why = "Xvfb did not start: " + QString::fromLocal8Bit(m_server.readAllStandardError()).trimmed();
        stop(m_server);
        return false;
    }
    m_name = QStringLiteral(":%1").arg(number);
    return true;
}

QProcessEnvironment XvfbDisplay::environment(const QStringList& extra) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_name);
    for (const QString& entry : extra)
        environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    return environment;
}

QProcess* XvfbDisplay::startProgram(const QString& program, const QStringList& args, const QStringList& env)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment(env));
    process->start(program, args);
    m_programs.push_back(std::move(process));
    return m_programs.back().get();
}

bool XvfbDisplay::run(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment({}));
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        stop(process);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
