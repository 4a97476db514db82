#pragma once

// Looks the store of the current transport over (CStoreCheckup) under the busy dialog and
// shows what it found, the names behind each problem on request.
void RunStoreCheckup();
