#pragma once

#include <QString>

// The application's home folder: every file the application keeps lives
// below it, in Documents/ (user data), Library/Caches/ (what can be rebuilt)
// and Library/Preferences/ (user defaults), so a home can be copied, moved or
// given to a test as one folder.
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
