#pragma once

#include <QString>

// The application's home folder (the sandbox of the original platform):
// Documents/, Library/Caches/ and Library/Preferences/ live below it.
// The process-wide home is set once at start (the --home flag); tests point
// it at a temporary folder.
class AppHome {
public:
    explicit AppHome(QString root);

    const QString& root() const { return m_root; }
    QString documents() const;
    QString caches() const;
    QString preferences() const;
    // Creates the three folders; false when one cannot be made.
    bool ensure() const;

    static QString defaultRoot();
    static const AppHome& current();
    static void setCurrent(const QString& root);

private:
    QString m_root;
};
