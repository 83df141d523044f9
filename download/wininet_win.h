// The connection each fetch of the walk gets: WinINet in the program; a
// benchmark build links its own definition in place of wininet_win.cpp.
#pragma once

#include <memory>

#include "download/fetch.h"

// A fresh connection for one fetch, closed on every path when it goes.
std::unique_ptr<Connection> make_connection();
