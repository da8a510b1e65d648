// Running the host program as a user does, from a shell.
#ifndef TESTS_E2E_PROGRAM_RUN_H
#define TESTS_E2E_PROGRAM_RUN_H

#include <sys/wait.h>

#include <cstdio>
#include <string>

inline const std::string kHost = std::string(STILLSET_BIN_DIR) + "/stillset-host";

struct ProgramRun {
    int status = -1;
    std::string output; // standard output and standard error
};

inline ProgramRun run(const std::string& command)
{
    ProgramRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#endif
