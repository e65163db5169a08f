// A program the Linux tests start in a process of its own (the virtual board,
// the viewer), its output kept in a file to look at.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_linux {

inline void Pause(int milliseconds) {
    struct timespec wait = {milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}

class Running {
  public:
    Running(const char* program, const std::vector<std::string>& arguments) {
        char pattern[] = "/tmp/kurvomat-test-output-XXXXXX";
        int handle = mkstemp(pattern);
        log = pattern;
        pid = fork();
        if (pid == 0) {
            dup2(handle, 1);
            dup2(handle, 2);
            std::vector<char*> argv{const_cast<char*>(program)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(program, argv.data());
            _exit(127);
        }
        close(handle);
    }
    ~Running() {
        Stop();
        remove(log.c_str());
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    // Everything the program printed so far.
    std::string Log() const {
        std::ifstream file(log);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    // The rest of the first line that begins with prefix, once the program
    // has printed it; empty after about ten seconds.
    std::string Awaited(const std::string& prefix) const {
        for (int i = 0; i < 1000; ++i) {
            std::string text = Log();
            size_t at = text.find(prefix);
            size_t end = at == std::string::npos ? at : text.find('\n', at);
            if (end != std::string::npos)
                return text.substr(at + prefix.size(), end - at - prefix.size());
            Pause(10);
        }
        return std::string();
    }
    bool StillRunning() { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }
    // Ends the program with SIGTERM; its exit status (128 + the signal if
    // the signal ended it).
    int Stop() {
        if (pid > 0)
            kill(pid, SIGTERM);
        return Wait();
    }
    // Waits until the program has ended; its exit status.
    int Wait() {
        if (pid <= 0)
            return status;
        int raw = 0;
        waitpid(pid, &raw, 0);
        pid = -1;
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status;
    }

  private:
    std::string log;
    pid_t pid = -1;
    int status = -1;
};

} // namespace testing_linux
