#pragma once

#include <string>
#include <vector>

namespace admin {

// tillwise-admin server init CONNINFO | join DIR CONNINFO [--shop NAME --till NAME] | send DIR
// | status DIR. The arguments after "server"; returns the exit code.
int RunServerCommand(const std::vector<std::string>& args);

inline constexpr const char* kServerUsage =
    "       tillwise-admin server init CONNINFO\n"
    "                                   create or upgrade the shop server's tables\n"
    "       tillwise-admin server join DIR CONNINFO [--shop NAME] [--till NAME]\n"
    "                                   join the till in DIR to the shop server\n"
    "       tillwise-admin server send DIR\n"
    "                                   send what the till in DIR has not sent yet\n"
    "       tillwise-admin server pull DIR\n"
    "                                   bring the till's copy of the shop's data up to date\n"
    "       tillwise-admin server status DIR\n"
    "                                   show the link, the queue, the last send and update\n";

}  // namespace admin
