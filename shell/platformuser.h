#pragma once

#include <QString>

// A text that identifies the user running the program, used to keep the
// local names (lock files, sockets) of two users apart.
QString currentUserKey();
