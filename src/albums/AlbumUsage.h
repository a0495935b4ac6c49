#pragma once

#include <functional>

// Where the album screens record their usage events. Screens take a Recorder
// so that tests can watch the events; the default goes to the process-wide
// usage store.
namespace AlbumUsage {

using Recorder = std::function<void(int eventId)>;

Recorder defaultRecorder();

}
