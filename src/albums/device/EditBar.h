#pragma once

#include <QString>

// What the device album's bottom bar shows, from the screen's state. The
// screen applies it to its buttons; tests check it without widgets.
class EditBar {
public:
    enum class Entry { Lock, Backup };

    struct State {
        bool editing = false;
        Entry entry = Entry::Lock;
        bool videos = false;       // the switch shows videos
        bool hasPhotos = false;    // the last photo listing was not empty
        bool libraryRefused = false;
        int selected = 0;
    };

    struct Look {
        bool cancelVisible, countVisible, lockVisible, backupVisible;
        bool lockEditVisible, backupEditVisible, sliderVisible;
        bool editButtonsEnabled;   // lock-edit and backup-edit
        bool actionsEnabled;       // lock and backup
        QString countText;
    };

    static Look look(const State& s);
    // The entry a picker starts in: lock for the private album, backup for the cloud.
    static Entry pickerEntry(int useType) { return useType == 2 ? Entry::Backup : Entry::Lock; }
};
