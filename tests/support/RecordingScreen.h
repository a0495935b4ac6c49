#pragma once

#include "platform/ui/Screen.h"

#include <QStringList>

// A screen that writes its lifecycle calls into a shared log as
// "<name>.load", "<name>.willAppear", "<name>.didAppear", "<name>.willDisappear"
// and "<name>.didDisappear".
class RecordingScreen : public ui::Screen {
public:
    RecordingScreen(QString name, QStringList* log, QWidget* parent = nullptr)
        : ui::Screen(parent), m_name(std::move(name)), m_log(log)
    {
    }

protected:
    void viewDidLoad() override { record("load"); }
    void viewWillAppear(bool) override { record("willAppear"); }
    void viewDidAppear(bool) override { record("didAppear"); }
    void viewWillDisappear(bool) override { record("willDisappear"); }
    void viewDidDisappear(bool) override { record("didDisappear"); }

private:
    void record(const char* what)
    {
        if (m_log)
            m_log->append(m_name + "." + what);
    }

    QString m_name;
    QStringList* m_log;
};
