#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh application home for one test: sets the process-wide home and the
// standard user defaults to live inside a temporary folder, removed at the end.
class TempHome {
public:
    TempHome();
    ~TempHome();

    QString root() const { return m_dir.path(); }
    QString documents() const;
    QString caches() const;
    QString path(const QString& relative) const { return root() + "/" + relative; }

private:
    QTemporaryDir m_dir;
};
