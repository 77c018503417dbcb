#include "hostconsole.h"

#include <fcntl.h>
#include <unistd.h>

namespace Quorvane
{

namespace
{

FILE* savedStream = nullptr;

} // namespace

void silencePluginDiagnostics()
{
    if (savedStream)
        return;
    std::fflush(stderr);
    int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved < 0 || devNull < 0)
    {
        if (saved >= 0)
            close(saved);
        if (devNull >= 0)
            close(devNull);
        return;
    }
    FILE* stream = fdopen(saved, "w");
    if (!stream || dup2(devNull, STDERR_FILENO) < 0)
    {
        if (stream)
            std::fclose(stream);
        else
            close(saved);
        close(devNull);
        return;
    }
    close(devNull);
    setvbuf(stream, nullptr, _IONBF, 0);
    savedStream = stream;
}

FILE* hostMessages()
{
    return savedStream ? savedStream : stderr;
}

} // namespace Quorvane
