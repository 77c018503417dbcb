#include "parameterresolver.h"

#include "support/hosterror.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace Quorvane
{

namespace
{

std::string trimmed(const std::string& text)
{
    auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string folded(const std::string& text)
{
    std::string out = trimmed(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

[[noreturn]] void usageError(const std::string& message)
{
    throw HostError(kExitUsage, message);
}

std::string validNames(const std::vector<ParameterDescription>& parameters)
{
    std::string list;
    for (const auto& p : parameters)
        if (!p.readOnly)
            list += (list.empty() ? "" : ", ") + p.title;
    return list;
}

const ParameterDescription& findByTitle(const std::vector<ParameterDescription>& parameters,
                                        const std::string& name)
{
    const std::string wanted = folded(name);
    for (const auto& p : parameters)
        if (folded(p.title) == wanted)
            return p;
    usageError("unknown parameter '" + name + "'; valid names: " + validNames(parameters));
}

const ParameterDescription& findById(const std::vector<ParameterDescription>& parameters,
                                     const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    unsigned long id = std::strtoul(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && errno == 0 && text[0] != '-')
        for (const auto& p : parameters)
            if (p.id == id)
                return p;
    std::string ids;
    for (const auto& p : parameters)
        if (!p.readOnly)
            ids += (ids.empty() ? "" : ", ") + std::to_string(p.id);
    usageError("no parameter with ID '" + text + "'; writable IDs: " + ids);
}

// Texts the plug-in shows for its steps (or for the ends of a continuous
// range) are accepted as typed, e.g. "on" for a switch that shows "On" or
// "off" for a time that shows " off" at zero.
std::optional<double> matchShownText(HostedPlugin& plugin, const ParameterDescription& p,
                                     const std::string& text)
{
    const std::string wanted = folded(text);
    if (wanted.empty())
        return std::nullopt;
    const int steps = p.stepCount > 0 ? p.stepCount : 1;
    for (int k = 0; k <= steps; ++k)
    {
        double value = static_cast<double>(k) / steps;
        if (folded(plugin.displayText(p.id, value)) == wanted)
            return value;
    }
    if (p.stepCount == 1)
    {
        if (wanted == "true" || wanted == "yes")
            return 1.0;
        if (wanted == "false" || wanted == "no")
            return 0.0;
    }
    return std::nullopt;
}

ResolvedAssignment resolveOne(HostedPlugin& plugin,
                              const std::vector<ParameterDescription>& parameters,
                              const ParameterAssignment& assignment)
{
    const ParameterDescription& p = assignment.normalized
                                        ? findById(parameters, assignment.name)
                                        : findByTitle(parameters, assignment.name);
    if (p.readOnly)
        usageError("parameter '" + p.title + "' is read-only and cannot be set");

    ResolvedAssignment resolved{p, 0.0, false};
    if (assignment.normalized)
    {
        errno = 0;
        char* end = nullptr;
        const std::string text = trimmed(assignment.value);
        double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.0 && value <= 1.0))
            usageError("--set-normalized " + assignment.name +
                       " expects a number from 0 to 1, not '" + assignment.value + "'");
        resolved.normalized = value;
        return resolved;
    }

    std::optional<double> value = plugin.parseDisplayText(p.id, assignment.value);
    if (!value)
        value = matchShownText(plugin, p, assignment.value);
    if (!value)
        usageError("cannot read '" + assignment.value + "' as a value of '" + p.title +
                   "' (it shows values such as '" +
                   trimmed(plugin.displayText(p.id, plugin.parameterValue(p.id))) + "')");
    resolved.normalized = std::clamp(*value, 0.0, 1.0);
    resolved.clamped = resolved.normalized != *value;
    return resolved;
}

} // namespace

std::vector<ResolvedAssignment>
resolveAssignments(HostedPlugin& plugin, const std::vector<ParameterAssignment>& assignments)
{
    std::vector<ResolvedAssignment> resolved;
    if (assignments.empty())
        return resolved;
    const auto parameters = plugin.parameters();
    for (const auto& assignment : assignments)
        resolved.push_back(resolveOne(plugin, parameters, assignment));
    return resolved;
}

void applyAssignments(HostedPlugin& plugin, const std::vector<ResolvedAssignment>& resolved,
                      bool quiet)
{
    for (const auto& r : resolved)
    {
        plugin.setParameter(r.parameter.id, r.normalized);
        if (quiet)
            continue;
        std::cout << "set " << r.parameter.title << " = "
                  << trimmed(plugin.displayText(r.parameter.id, r.normalized));
        if (r.clamped)
            std::cout << " (the value given lies beyond the parameter's range)";
        std::cout << "\n";
    }
}

} // namespace Quorvane
