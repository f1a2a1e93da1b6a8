#ifndef ORV_TESTS_SUPPORT_ORVCHILDPROCESS_H
#define ORV_TESTS_SUPPORT_ORVCHILDPROCESS_H

// A child process for tests that must not hang: either a forked copy of the test running a
// function (its return value, or the status it calls exit() with, becomes the exit code) or
// another program. The child's standard output and standard error go to temporary files that
// the test reads after it ended. Wait() never blocks longer than asked: a child still
// running then is killed. The destructor kills a child still running and removes the files.

#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

class OrvChildProcess {
public:
    // Forks and runs `body` in the child, which ends with _exit(body()).
    explicit OrvChildProcess(const std::function<int()>& body);

    // Starts `program` with these arguments in `workingDirectory`, with these variables set
    // and those removed from the environment.
    OrvChildProcess(const std::string& program, const std::string& workingDirectory,
                    const std::vector<std::pair<std::string, std::string>>& setVariables,
                    const std::vector<std::string>& unsetVariables,
                    const std::vector<std::string>& arguments = {});

    ~OrvChildProcess();
    OrvChildProcess(const OrvChildProcess&) = delete;
    OrvChildProcess& operator=(const OrvChildProcess&) = delete;

    pid_t Pid() const { return pid; }

    // Waits at most `timeoutMs` for the child to end. False when it had to be killed.
    bool Wait(int timeoutMs);
    // True while the child has not ended (it is reaped if it just did).
    bool Running();

    // Valid once the child ended: true with its exit code when it exited normally.
    bool Exited() const { return exited; }
    int ExitCode() const { return exitCode; }

    // Everything the child wrote so far.
    std::string Output() const;
    std::string Errors() const;

private:
    void MakeCaptureFiles();
    void RedirectInChild() const;
    void Reap(int status);

    pid_t pid = -1;
    bool ended = false;
    bool exited = false;
    int exitCode = -1;
    std::string outputPath;
    std::string errorPath;
};

#endif
