#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A private X display for one test: Xvfb on a free display number (chosen by
// the server itself through -displayfd), plus any programs started on it.
// Everything started here is ended when the object goes.
class XvfbDisplay {
public:
    XvfbDisplay() = default;
    ~XvfbDisplay();

    // Starts the server; false (with why()) when it cannot start.
    bool start(const QString& geometry = QStringLiteral("1024x768x24"));
    QString why() const { return m_why; }
    // ":<number>"
    QString name() const { return m_name; }

    // Starts a program with DISPLAY set to this display (and the extra
    // environment entries, "NAME=value"); its output is kept for reading.
    QProcess* startProgram(const QString& program, const QStringList& args, const QStringList& env = {});
    // Runs a short command on the display and waits for it; true on exit 0.
    bool run(const QString& program, const QStringList& args, int timeoutMs = 5000);

private:
    QProcessEnvironment environment(const QStringList& extra) const;

    QProcess m_server;
    QString m_name;
    QString m_why;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};
