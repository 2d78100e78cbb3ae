// dozerozozu-layout: the map's automatic layout runs Graphviz in this program, one graph per
// process, so that a crash inside Graphviz, a run that never ends or one that takes all the
// memory costs that one layout and never the application. The library starts it as
//   dozerozozu-layout --parent <pid> --memory-limit <bytes>
// writes a GraphvizJob to its standard input and reads a GraphvizDrawing from its standard
// output; Graphviz's messages go to standard error as Graphviz gives them. Before it reads
// the job the program closes every descriptor but its three streams and limits its own
// address space to the lower of <bytes> (0 for no limit of the library's) and the limit it
// inherits: a process may always lower its own limits, where raising an inherited hard limit
// would need a privilege.
//
// Exit status: 0 with a drawing, 1 when Graphviz fails (the answer says why), 2 for a job or
// arguments that cannot be read, 3 when the program that started it is gone, 4 when its
// memory cannot be limited.

#include "GraphvizDrawer.h"
#include "JobText.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// A sanitizer reserves terabytes of address space for its shadow memory: a limit on the
// address space would stop the program before main(). The library holds such a build to its
// limit by watching its resident memory instead.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LAYOUT_PROGRAM_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define LAYOUT_PROGRAM_SANITIZED 1
#endif
#endif

// The leak checker's switch, there only where a leak checker is linked (AddressSanitizer's or
// LeakSanitizer's runtime): a weak reference stays null in any other build, ThreadSanitizer's too.
extern "C" void __lsan_disable() __attribute__((weak));

namespace {

const char outOfMemoryNote[] = "dozerozozu-layout: out of memory\n";

void writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return;
        data += written;
        size -= size_t(written);
    }
}

/// The size of the address space in use, read as a signal handler may: with system calls only.
size_t addressSpaceInUse()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY);
    if (fd < 0)
        return 0;
    char text[64] = {};
    const ssize_t length = ::read(fd, text, sizeof(text) - 1);
    ::close(fd);
    size_t pages = 0;
    for (ssize_t i = 0; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        pages = pages * 10 + size_t(text[i] - '0');
    static const size_t pageSize = size_t(::sysconf(_SC_PAGESIZE));
    return pages * pageSize;
}

bool nearMemoryLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return false;
    // An allocation that failed may have asked for much: three quarters of the limit in use
    // counts as having run out.
    return addressSpaceInUse() >= limit.rlim_cur / 4 * 3;
}

/*
 * Graphviz does not check every allocation: past the memory limit it mostly dies of a null
 * pointer. A crash that close to the limit is noted as running out of memory, so that the
 * library can tell the user why, then the signal takes its course.
 */
void noteCrash(int signalNumber)
{
    if (nearMemoryLimit())
        writeAll(STDERR_FILENO, outOfMemoryNote, sizeof(outOfMemoryNote) - 1);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void outOfMemory()
{
    writeAll(STDERR_FILENO, outOfMemoryNote, sizeof(outOfMemoryNote) - 1);
    std::_Exit(EXIT_FAILURE);
}

struct Arguments
{
    long long parent = -1;
    long long memoryLimit = 0;
};

bool readArguments(int argc, char* argv[], Arguments* arguments)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        char* end = nullptr;
        const long long value = std::strtoll(argv[i + 1], &end, 10);
        if (end == argv[i + 1] || *end != '\0' || value < 0)
            return false;
        if (std::strcmp(argv[i], "--parent") == 0)
            arguments->parent = value;
        else if (std::strcmp(argv[i], "--memory-limit") == 0)
            arguments->memoryLimit = value;
        else
            return false;
    }
    return argc % 2 == 1;
}

/// Closes every descriptor the program inherited beyond its three streams.
void closeInheritedDescriptors()
{
    if (::syscall(SYS_close_range, 3u, ~0u, 0u) == 0)
        return;
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (!descriptors)
        return;
    const int own = ::dirfd(descriptors);
    while (const dirent* entry = ::readdir(descriptors)) {
        const int fd = std::atoi(entry->d_name);
        if (fd > STDERR_FILENO && fd != own)
            ::close(fd);
    }
    ::closedir(descriptors);
}

/// Takes the lower of bytes (0 for none) and the inherited limit as the address space's soft and hard limit.
bool limitAddressSpace(long long bytes)
{
#ifdef LAYOUT_PROGRAM_SANITIZED
    (void)bytes;
    return true;
#else
    rlimit inherited{};
    if (::getrlimit(RLIMIT_AS, &inherited) != 0)
        return false;
    const rlim_t wanted = bytes > 0 ? rlim_t(bytes) : RLIM_INFINITY;
    const rlim_t lower = std::min(wanted, inherited.rlim_cur);
    if (lower == RLIM_INFINITY)
        return true;
    const rlimit limit{lower, lower};
    if (::setrlimit(RLIMIT_AS, &limit) == 0)
        return true;
    const rlimit softOnly{lower, inherited.rlim_max};
    return ::setrlimit(RLIMIT_AS, &softOnly) == 0;
#endif
}

void say(const char* text)
{
    writeAll(STDERR_FILENO, text, std::strlen(text));
}

std::string readAll(FILE* input)
{
    std::string text;
    char buffer[65536];
    size_t length = 0;
    while ((length = std::fread(buffer, 1, sizeof(buffer), input)) > 0)
        text.append(buffer, length);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    // Whatever happens to the program that waits for the drawing, this one goes with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // What Graphviz leaves allocated at the end is not this program's fault, and a leak report
    // would turn its answer's exit status into a failure's.
    if (__lsan_disable)
        __lsan_disable();
    Arguments arguments;
    if (!readArguments(argc, argv, &arguments)) {
        say("dozerozozu-layout: usage: dozerozozu-layout [--parent <pid>] [--memory-limit <bytes>]\n");
        return 2;
    }
    if (arguments.parent >= 0 && ::getppid() != pid_t(arguments.parent))
        return 3;
    // Nothing the host left open (files, sockets, pipes) stays open while Graphviz runs.
    closeInheritedDescriptors();
    if (!limitAddressSpace(arguments.memoryLimit)) {
        say("dozerozozu-layout: its memory cannot be limited\n");
        return 4;
    }
    std::set_new_handler(outOfMemory);
    for (int signalNumber : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
        std::signal(signalNumber, noteCrash);

    ProgramJob job;
    std::string error;
    if (!ProgramJob::read(readAll(stdin), &job, &error)) {
        const std::string text = "dozerozozu-layout: " + error + '\n';
        writeAll(STDERR_FILENO, text.data(), text.size());
        return 2;
    }
    ProgramDrawing drawing;
    std::string failure;
    const bool drawn = GraphvizDrawer::draw(job, &drawing, &failure);
    const std::string answer = drawn ? drawing.text() : ProgramDrawing::failureText(failure);
    writeAll(STDOUT_FILENO, answer.data(), answer.size());
    return drawn ? 0 : 1;
}
