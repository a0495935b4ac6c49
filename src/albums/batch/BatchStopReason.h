#pragma once

// Why a batch was asked to stop before its end.
enum class BatchStopReason {
    None,
    User,           // the panel's cancel button
    Background,     // the application went to the background
    Relock,         // the private album locked again
    LibraryChanged, // the device photo library changed under the batch
    NetworkLost,    // an item failed with no connection at all
    SignInLapsed,   // the cloud disk refused the sign-in key (-401)
};
