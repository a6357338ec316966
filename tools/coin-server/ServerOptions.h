#pragma once

#include <optional>
#include <string>

// The command line of margin-coin-server, with the defaults filled in from the
// environment: under systemd the state lives in $STATE_DIRECTORY (or
// /var/lib/margin-coin-server) and the log in $LOGS_DIRECTORY; otherwise both live in
// $XDG_STATE_HOME/margin-coin-server (default ~/.local/state/margin-coin-server). With
// --state and no --log the log lives beside the state file, wherever that is.
struct ServerOptions {
    int port = 7777;
    std::string bindAddress = "127.0.0.1";
    std::string allowList;
    std::string stateFile;
    std::string logFile;

    // nullopt with a message in error (or "help" for --help).
    static std::optional<ServerOptions> parse(int argc, const char* const* argv, std::string& error);

    static const char* usage();
};
