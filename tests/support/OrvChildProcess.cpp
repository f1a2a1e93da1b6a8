#include "support/OrvChildProcess.h"

#include "support/OrvTestFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <stdexcept>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {
std::string MakeTempFile(const char* pattern) {
    std::string path = pattern;
    int fd = mkstemp(&path[0]);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    close(fd);
    return path;
}

void SleepMs(int ms) {
    timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}
} // namespace

OrvChildProcess::OrvChildProcess(const std::function<int()>& body) {
    MakeCaptureFiles();
    // Buffered output would otherwise be written twice, once by each process.
    std::fflush(nullptr);
    pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        RedirectInChild();
        int code = body();
        std::fflush(nullptr);
        _exit(code);
    }
}

OrvChildProcess::OrvChildProcess(
    const std::string& program, const std::string& workingDirectory,
    const std::vector<std::pair<std::string, std::string>>& setVariables,
    const std::vector<std::string>& unsetVariables, const std::vector<std::string>& arguments) {
    // Built before forking: the child only reads it.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    MakeCaptureFiles();
    std::fflush(nullptr);
    pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        RedirectInChild();
        for (const auto& variable : setVariables)
            setenv(variable.first.c_str(), variable.second.c_str(), 1);
        for (const std::string& name : unsetVariables)
            unsetenv(name.c_str());
        if (chdir(workingDirectory.c_str()) != 0)
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

OrvChildProcess::~OrvChildProcess() {
    if (pid > 0 && !ended) {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    std::remove(outputPath.c_str());
    std::remove(errorPath.c_str());
}

void OrvChildProcess::MakeCaptureFiles() {
    outputPath = MakeTempFile("/tmp/orv-child-out-XXXXXX");
    errorPath = MakeTempFile("/tmp/orv-child-err-XXXXXX");
}

void OrvChildProcess::RedirectInChild() const {
    int in = open("/dev/null", O_RDONLY);
    int out = open(outputPath.c_str(), O_WRONLY | O_TRUNC);
    int err = open(errorPath.c_str(), O_WRONLY | O_TRUNC);
    if (in < 0 || out < 0 || err < 0)
        _exit(125);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    close(in);
    close(out);
    close(err);
}

void OrvChildProcess::Reap(int status) {
    ended = true;
    exited = WIFEXITED(status);
    exitCode = exited ? WEXITSTATUS(status) : -1;
}

bool OrvChildProcess::Running() {
    if (ended)
        return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        Reap(status);
        return false;
    }
    return true;
}

bool OrvChildProcess::Wait(int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (!Running())
            return true;
        SleepMs(10);
    }
    if (!Running())
        return true;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    Reap(status);
    exited = false;
    return false;
}

std::string OrvChildProcess::Output() const {
    return OrvReadFile(outputPath);
}

std::string OrvChildProcess::Errors() const {
    return OrvReadFile(errorPath);
}
