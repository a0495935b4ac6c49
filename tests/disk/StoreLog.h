#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the disk store's log lines while alive.
class StoreLog {
public:
    StoreLog()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&StoreLog::capture);
    }
    ~StoreLog() { qInstallMessageHandler(m_previous); }
    StoreLog(const StoreLog&) = delete;
    StoreLog& operator=(const StoreLog&) = delete;

    static QStringList& lines()
    {
        static QStringList collected;
        return collected;
    }

private:
    static void capture(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        if (text.startsWith("disk store:"))
            lines().append(text);
    }

    QtMessageHandler m_previous;
};
