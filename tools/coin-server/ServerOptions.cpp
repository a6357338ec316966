#include "ServerOptions.h"

#include <cstdlib>
#include <string>

namespace {

const char* const kFolderName = "margin-coin-server";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// systemd sets INVOCATION_ID for every service it starts.
bool runBySystemd() { return !environment("INVOCATION_ID").empty(); }

std::string userStateFolder() {
    const std::string configured = environment("XDG_STATE_HOME");
    if (!configured.empty() && configured.front() == '/') {
        return configured + "/" + kFolderName;
    }
    const std::string home = environment("HOME");
    return (home.empty() ? std::string(".") : home + "/.local/state") + "/" + kFolderName;
}

std::string defaultFolder(const char* systemdVariable) {
    const std::string given = environment(systemdVariable);
    if (!given.empty()) {
        return given;
    }
    return runBySystemd() ? std::string("/var/lib/") + kFolderName : userStateFolder();
}

bool parsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

}  // namespace

const char* ServerOptions::usage() {
    return "usage: margin-coin-server [--port N] [--bind ADDR] [--allow ADDR[,ADDR...]]\n"
           "                          [--state FILE] [--log FILE|-]\n";
}

std::optional<ServerOptions> ServerOptions::parse(int argc, const char* const* argv, std::string& error) {
    ServerOptions options;
    bool portGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            error = "help";
            return std::nullopt;
        }
        const bool takesValue = option == "--port" || option == "--bind" || option == "--allow" ||
                                option == "--state" || option == "--log";
        // A bare number is the port, as the first coin server took it; its second one,
        // the starting credits, now lives in the state file.
        if (!takesValue && !portGiven && parsePort(option, options.port)) {
            portGiven = true;
            continue;
        }
        if (!takesValue) {
            error = "unknown argument: " + option;
            return std::nullopt;
        }
        if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (option == "--port" && !parsePort(value, options.port)) {
            error = "the port must be a number from 1 to 65535: " + value;
            return std::nullopt;
        }
        if (option == "--bind") options.bindAddress = value;
        if (option == "--allow") options.allowList = value;
        if (option == "--state") options.stateFile = value;
        if (option == "--log") options.logFile = value;
    }
    // A state file named on the command line takes its log along: the operator chose
    // that folder for the cabinet's books.
    if (options.logFile.empty() && !options.stateFile.empty()) {
        const std::string::size_type slash = options.stateFile.rfind('/');
        options.logFile = (slash == std::string::npos ? "" : options.stateFile.substr(0, slash + 1)) + "audit.log";
    }
    if (options.stateFile.empty()) {
        options.stateFile = defaultFolder("STATE_DIRECTORY") + "/credits";
    }
    if (options.logFile.empty()) {
        options.logFile = defaultFolder("LOGS_DIRECTORY") + "/audit.log";
    }
    return options;
}
