// Turns --set NAME=VALUE and --set-normalized ID=V into normalized values,
// the way a user thinks of parameters: by title and by display text.
#pragma once

#include "commands/commandline.h"
#include "hostedplugin.h"

#include <string>
#include <vector>

namespace Quorvane
{

struct ResolvedAssignment
{
    ParameterDescription parameter;
    double normalized = 0.0;
    bool clamped = false; // the text named a value beyond the parameter's range
};

// Throws HostError (kExitUsage) for unknown names or IDs, read-only
// parameters and values that do not parse.
std::vector<ResolvedAssignment>
resolveAssignments(HostedPlugin& plugin, const std::vector<ParameterAssignment>& assignments);

// Hands resolved values to the plug-in; notes each one on stdout unless quiet.
void applyAssignments(HostedPlugin& plugin, const std::vector<ResolvedAssignment>& resolved,
                      bool quiet);

} // namespace Quorvane
