#include "clirunner.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace QuorvaneTest
{

std::string fileContents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

CliResult runQuorvane(const std::vector<std::string>& args, const std::string& workdir)
{
    char outTemplate[] = "/tmp/quorvane-cli-out-XXXXXX";
    char errTemplate[] = "/tmp/quorvane-cli-err-XXXXXX";
    int outFd = mkstemp(outTemplate);
    int errFd = mkstemp(errTemplate);

    std::vector<std::string> argv{QUORVANE_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    CliResult result;
    pid_t child = fork();
    if (child == 0)
    {
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        if (!workdir.empty() && chdir(workdir.c_str()) != 0)
            _exit(126);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(outFd);
    close(errFd);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = fileContents(outTemplate);
    result.err = fileContents(errTemplate);
    unlink(outTemplate);
    unlink(errTemplate);
    return result;
}

std::vector<std::string> hostLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '[')
            lines.push_back(line);
    return lines;
}

} // namespace QuorvaneTest
