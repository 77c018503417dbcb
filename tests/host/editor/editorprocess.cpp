#include "editorprocess.h"

#include "clirunner.h"

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
// Xlib's macros clash with names in the headers above: include it last.
#include <X11/Xlib.h>

namespace QuorvaneTest
{

namespace
{

std::string commandOutput(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r"))
    {
        char buffer[256];
        while (std::fgets(buffer, sizeof(buffer), pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

// Splits the tab-separated lines after the header.
std::vector<std::vector<std::string>> printedRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, '\t'))
            fields.push_back(cell);
        if (fields.size() == 4 && !fields[0].empty() &&
            std::isdigit(static_cast<unsigned char>(fields[0][0])))
            rows.push_back(fields);
    }
    return rows;
}

} // namespace

EditorProcess::EditorProcess(const std::vector<std::string>& args, const std::string& folder,
                             const std::map<std::string, std::string>& environment)
    : outPath(folder + "/editor.out"), errPath(folder + "/editor.err")
{
    std::vector<std::string> argv{QUORVANE_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (auto& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);

    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    child = fork();
    if (child == 0)
    {
        for (const auto& [name, value] : environment)
        {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    close(outFd);
    close(errFd);
}

EditorProcess::~EditorProcess()
{
    if (child > 0)
    {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

std::optional<int> EditorProcess::waitForExit(double seconds)
{
    if (child <= 0)
        return std::nullopt;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;)
    {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
        {
            child = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= end)
        {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            child = -1;
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void EditorProcess::signal(int number)
{
    if (child > 0)
        kill(child, number);
}

std::string EditorProcess::out() const
{
    return fileContents(outPath);
}

std::string EditorProcess::err() const
{
    return fileContents(errPath);
}

unsigned long findEditorWindow(pid_t pid)
{
    const std::string text =
        commandOutput("timeout 10 xdotool search --sync --all --pid " + std::to_string(pid) +
                      " --name '^Quorvane$' 2>/dev/null");
    return std::strtoul(text.c_str(), nullptr, 10);
}

bool xdotool(const std::string& arguments)
{
    return std::system(("timeout 10 xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

bool requestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0;
}

std::map<unsigned, double> printedValues(const std::string& text)
{
    std::map<unsigned, double> values;
    for (const auto& row : printedRows(text))
        values[static_cast<unsigned>(std::stoul(row[0]))] = std::stod(row[2]);
    return values;
}

std::map<unsigned, std::string> printedTexts(const std::string& text)
{
    std::map<unsigned, std::string> texts;
    for (const auto& row : printedRows(text))
        texts[static_cast<unsigned>(std::stoul(row[0]))] = row[3];
    return texts;
}

} // namespace QuorvaneTest
