// The plug-in's version, as the info record, the load message, the settings
// report and the version resource state it.
#pragma once

enum : unsigned {
    PluginMajorVersion = 1,
    PluginMinorVersion = 0,
    PluginBuildNumber = 1,
    PluginRevision = 1, // only the version line of "mirvane /??" and the resource show it
};
