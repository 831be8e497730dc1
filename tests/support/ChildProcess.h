// Runs one of the project's programs as a child with its output captured, for command-line tests.
// POSIX only: the programs it runs talk to simulators on pseudo-terminals.
#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the program with the test's environment; stdin is /dev/null.
    explicit ChildProcess(const std::vector<std::string>& argv) {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int failed = posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
        if (failed != 0)
            throw std::runtime_error("cannot start " + argv[0]);
    }

    ~ChildProcess() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
        close(m_err);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output without its line end; "" when none came in time.
    std::string readLine(std::chrono::milliseconds within) {
        const Clock::time_point deadline = Clock::now() + within;
        while (m_stdout.find('\n') == std::string::npos && Clock::now() < deadline) {
            if (!pump(deadline))
                break;
        }
        const std::size_t end = m_stdout.find('\n');
        if (end == std::string::npos)
            return "";
        const std::string line = m_stdout.substr(0, end);
        m_stdout.erase(0, end + 1);
        return line;
    }

    void signal(int number) { kill(m_pid, number); }

    pid_t pid() const { return m_pid; }

    // True while the child has not ended (an ended child is reaped; wait() still gives its status).
    bool running() {
        if (m_pid <= 0 || m_reaped)
            return false;
        if (waitpid(m_pid, &m_status, WNOHANG) == 0)
            return true;
        m_reaped = true;
        return false;
    }

    // Collects the rest of the output and the exit status; -1 when the child had to be killed or
    // did not exit normally.
    int wait(std::chrono::milliseconds within = std::chrono::seconds(30)) {
        const Clock::time_point deadline = Clock::now() + within;
        while (pump(deadline)) {
        }
        if (!m_reaped) {
            if (Clock::now() >= deadline)
                kill(m_pid, SIGKILL);
            waitpid(m_pid, &m_status, 0);
        }
        m_pid = -1;
        return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
    }

    const std::string& out() const { return m_stdout; }
    const std::string& err() const { return m_stderr; }

    struct Result {
        int status;
        std::string out;
        std::string err;
    };
    static Result run(const std::vector<std::string>& argv) {
        ChildProcess child(argv);
        const int status = child.wait();
        return {status, child.m_stdout, child.m_stderr};
    }

private:
    // Reads what is there; false once both pipes are closed or the deadline passed.
    bool pump(Clock::time_point deadline) {
        pollfd fds[2] = {{m_outClosed ? -1 : m_out, POLLIN, 0}, {m_errClosed ? -1 : m_err, POLLIN, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || (m_outClosed && m_errClosed))
            return false;
        if (poll(fds, 2, static_cast<int>(left)) <= 0)
            return false;
        readInto(fds[0], m_out, m_stdout, m_outClosed);
        readInto(fds[1], m_err, m_stderr, m_errClosed);
        return !(m_outClosed && m_errClosed);
    }

    static void readInto(const pollfd& p, int fd, std::string& text, bool& closed) {
        if (closed || p.revents == 0)
            return;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<std::size_t>(n));
        else
            closed = true;
    }

    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
    int m_out = -1;
    int m_err = -1;
    bool m_outClosed = false;
    bool m_errClosed = false;
    std::string m_stdout;
    std::string m_stderr;
};
