#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <sys/types.h>

/**
 * A program started as a child of this process, in a process group of its own, with pipes
 * on its standard input, output and error. It inherits no other descriptor of the host,
 * whatever close-on-exec says, and starts with every signal at its default and none blocked.
 *
 * The child is made as posix_spawn() makes it: it shares the host's memory until it runs the
 * program, so that a start costs the same whatever the host holds, and the C library falls
 * back to clone() where clone3() is refused. Its end is learnt from a pidfd (Linux 5.3 on),
 * whatever the host does with SIGCHLD. Where the host ignores SIGCHLD (the kernel then reaps
 * the child at once) or reaps every child itself, reap() reads the status the kernel keeps
 * with the pidfd (Linux 6.15 on); on older kernels the status is unknown then. Without a
 * pidfd (older kernels, sandboxes that refuse pidfd_open()) the child is known by its process
 * id: hasEnded() tells of its end, and its status is unknown where the host took it.
 *
 * Used by LayoutProcess on the thread that runs the layout; not copyable. The destructor
 * kills the group and reaps the child where the caller has not.
 */
class ChildProgram
{
public:
    struct Exit
    {
        /// True when a signal ended the program, false when it exited.
        bool signalled = false;
        /// The exit status, or the signal.
        int code = 0;
        /// False when the host took the status first and the kernel does not keep it.
        bool known = true;
    };

    /// What start() could not do.
    enum class Step {
        /// Make the pipes to the program's standard streams.
        Pipes,
        /// Make its process and run the program in it.
        Process,
    };

    ChildProgram() = default;
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    /**
     * Starts program with arguments, in this process's environment with the variables of
     * settings ("NAME=value") set over it; false with *failed set to the step that failed and
     * *error to its errno.
     */
    bool start(const QString& program, const QStringList& arguments, const QByteArrayList& settings, Step* failed,
               int* error);

    pid_t pid() const { return m_pid; }
    /// The pidfd that tells of the program's end; -1 where the system gives none.
    int pidFd() const { return m_pidFd; }
    /// The parent's ends of the pipes, non-blocking; -1 once closed.
    int inputFd() const { return m_input; }
    int outputFd() const { return m_output; }
    int messagesFd() const { return m_messages; }

    void closeInput();
    void closeOutput();
    void closeMessages();

    /// Sends SIGKILL to every process of the group, the program among them while it is not reaped.
    void killGroup();
    /// Whether the program has ended: its status is there to take, or someone else took it.
    bool hasEnded() const;
    /// Waits for the program's end (it has ended or been killed) and takes its status.
    Exit reap();
    /**
     * Waits until no process of the group runs any more, or until the deadline: a process
     * killed a moment ago may still be on its way out. Processes that are gone but not yet
     * taken by their parent (zombies) count as gone.
     */
    void waitForGroup(const QDeadlineTimer& deadline) const;

private:
    void takePidFd();
    void closeAll();

    pid_t m_pid = -1;
    int m_pidFd = -1;
    int m_input = -1;
    int m_output = -1;
    int m_messages = -1;
    bool m_reaped = true;
};
