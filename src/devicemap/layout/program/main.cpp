// dozerozozu-layout: the map's automatic layout runs Graphviz in this program, one graph per
// process, so that a crash inside Graphviz, a run that never ends or one that takes all the
// memory costs that one layout and never the application. The library starts it, sets its
// memory limit, writes a GraphvizJob to its standard input and reads a GraphvizDrawing from
// its standard output; Graphviz's messages go to standard error as Graphviz gives them.
//
// Exit status: 0 with a drawing, 1 when Graphviz fails (the answer says why), 2 for a job
// that cannot be read, 3 when the program that started it is gone.

#include "GraphvizDrawer.h"
#include "JobText.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

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
    if (argc == 3 && std::strcmp(argv[1], "--parent") == 0 && ::getppid() != std::atoi(argv[2]))
        return 3;
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
