// `quorvane editor` running in the background, and the X tools that drive it.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace QuorvaneTest
{

class EditorProcess
{
public:
    // Starts quorvane with ARGS; output goes to files in FOLDER. ENVIRONMENT
    // entries replace (or, when empty, remove) variables for the child.
    EditorProcess(const std::vector<std::string>& args, const std::string& folder,
                  const std::map<std::string, std::string>& environment = {});
    // Kills the process if it is still running.
    ~EditorProcess();

    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    pid_t pid() const { return child; }
    // Waits up to SECONDS for the exit; the exit status, or nothing (the
    // process is then killed) when it did not end in time.
    std::optional<int> waitForExit(double seconds);
    void signal(int number);

    std::string out() const;
    std::string err() const;

private:
    pid_t child = -1;
    std::string outPath;
    std::string errPath;
};

// The window of process PID titled "Quorvane", waiting up to ten seconds for
// it to appear; 0 when it does not.
unsigned long findEditorWindow(pid_t pid);

// Runs xdotool with ARGUMENTS (already quoted for the shell); true on success.
bool xdotool(const std::string& arguments);

// Asks window WIN to close as a window manager's close button does.
bool requestClose(unsigned long window);

// Parameter ID → normalized value from the lines `quorvane editor --print-params` prints.
std::map<unsigned, double> printedValues(const std::string& text);
// Parameter ID → display text from the same lines.
std::map<unsigned, std::string> printedTexts(const std::string& text);

} // namespace QuorvaneTest
